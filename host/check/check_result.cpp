#include "host/check/check_result.h"

namespace ffglhost
{
const char* StatusName( CheckStatus status )
{
	switch( status )
	{
	case CheckStatus::kPass:
		return "PASS";
	case CheckStatus::kWarn:
		return "WARN";
	default:
		return "FAIL";
	}
}

CheckVerdict Pass( const std::string& reason )
{
	return { CheckStatus::kPass, reason };
}

CheckVerdict Warn( const std::string& reason )
{
	return { CheckStatus::kWarn, reason };
}

CheckVerdict Fail( const std::string& reason )
{
	return { CheckStatus::kFail, reason };
}

std::string ReasonText( const CheckResult& result )
{
	return result.count < 0 ? result.reason : std::to_string( result.count ) + " " + result.reason;
}
}
