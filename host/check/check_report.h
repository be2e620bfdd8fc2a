#pragma once
// The results of "ffglhost check": the lines a group's process writes for the parent, what the parent
// reads back from them, and the report it prints and writes as JSON.
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace ffglhost
{
enum class CheckStatus
{
	kPass,
	kWarn,
	kFail,
};

const char* StatusName( CheckStatus status ); // "PASS", "WARN", "FAIL"

struct CheckResult
{
	std::string name;
	CheckStatus status = CheckStatus::kPass;
	std::string reason;
};

// A group's process writes one line per event on standard output, flushed at once so that nothing is
// lost when the plug-in kills it. Lines without the prefix (a plug-in's own prints) are ignored.
void EmitBegin( const char* check );
void EmitCall( const char* call, const std::string& detail );
void EmitResult( const CheckResult& result );
void EmitTime( const char* kind, double milliseconds );
void EmitLog( const std::string& text );
// A file written for a check (its pictures), named relative to the artifact folder.
void EmitArtifact( const std::string& check, const std::string& file );
void EmitEnd();
// A call that has not returned after the limit: said, then the process ends with kExitHung.
void EmitHungAndExit( int seconds );
const int kExitHung = 3;
// Seconds since the last line: how long the plug-in has been in its current call.
double SecondsSinceLastLine();

// What the parent reads from one group's output.
struct GroupOutcome
{
	std::vector< CheckResult > results;
	std::vector< std::pair< std::string, double > > times;
	std::vector< std::string > logLines;
	std::vector< std::pair< std::string, std::string > > artifacts; // check, file
	std::string currentCheck;                                       // begun and not yet reported
	std::string lastCall;                                           // "FF_PROCESS_OPENGL (frame 3 of 320x180)"
	bool ended    = false;                                          // the group ran to its end
	int hungAfter = 0; // seconds a call took before the group gave up on it; 0: none did
};
GroupOutcome ParseGroupOutput( const std::string& output );

struct TimingLine
{
	std::string kind;
	size_t count  = 0;
	double median = 0.0, p95 = 0.0, max = 0.0;
	double budget = 0.0;
};

// The whole run: results merged by name (the worst status and its first reason stand), timing, log.
class CheckReport
{
public:
	void Add( const CheckResult& result );
	void AddTime( const std::string& kind, double milliseconds );
	void AddLogLine( const std::string& text );
	// A file written for a check into the artifact folder, named under its result and linked in the JSON.
	void SetArtifactDirectory( const std::string& directory ) { artifactDirectory = directory; }
	void AddArtifact( const std::string& check, const std::string& file );
	// The files written for a check, each as the folder and its name; empty when none.
	std::vector< std::string > Artifacts( const std::string& check ) const;
	// Turns the collected times into the timing.* results (over a budget is a warning only); a kind
	// without samples is a warning when every group ran, and left out otherwise.
	void SummariseTiming( bool everyGroupRan );
	// Puts the results in the order of the names given; others keep their place after them.
	void Order( const std::vector< std::string >& names );

	bool HasResult( const std::string& name ) const;
	int Count( CheckStatus status ) const;
	const std::vector< CheckResult >& Results() const { return results; }

	void Print( FILE* stream, const std::string& heading, int strictness, unsigned long long seed ) const;
	bool WriteJson( const std::string& path, const std::string& plugin, int strictness, unsigned long long seed,
	                std::string* error ) const;
	const std::vector< std::string >& LogLines() const { return logLines; }

private:
	std::vector< CheckResult > results;
	std::map< std::string, std::vector< double > > times;
	std::vector< TimingLine > timing;
	std::vector< std::string > logLines;
	std::string artifactDirectory;
	std::map< std::string, std::vector< std::string > > artifacts; // per check
};
}
