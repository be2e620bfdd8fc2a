#pragma once
// What a check of "ffglhost check" finds (its verdict) and what the run reports of it (its result).
#include <string>

namespace ffglhost
{
enum class CheckStatus
{
	kPass,
	kWarn,
	kFail,
};

const char* StatusName( CheckStatus status ); // "PASS", "WARN", "FAIL"
// Whether a is worse than b: the statuses are listed from best to worst.
inline bool Worse( CheckStatus a, CheckStatus b )
{
	return static_cast< int >( a ) > static_cast< int >( b );
}

// What a check's function returns.
struct CheckVerdict
{
	CheckStatus status = CheckStatus::kPass;
	std::string reason;
	bool stopsGroup = false; // the group's later checks cannot run (the plug-in did not load)
};
CheckVerdict Pass( const std::string& reason );
CheckVerdict Warn( const std::string& reason );
CheckVerdict Fail( const std::string& reason );

// A check's result as the run reports it.
struct CheckResult
{
	std::string name;
	CheckStatus status = CheckStatus::kPass;
	std::string reason;         // after the count, when there is one
	bool ran            = true; // false: not run (its group could not start or ended early, or nothing loaded)
	double milliseconds = 0.0;  // the time the check took; 0 for the checks every group feeds
	long count          = -1;   // what the reason counts ("12 calls ..."), summed over groups; -1: nothing
};
// The reason as it is read: "12 calls left the GL state as the host set it".
std::string ReasonText( const CheckResult& result );
}
