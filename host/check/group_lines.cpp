#include "host/check/group_lines.h"

#include "host/core/process.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace ffglhost
{
namespace
{
const char* const kPrefix = "@check ";

// One line each: no line breaks inside a field.
std::string OneLine( const std::string& text )
{
	std::string line = text;
	std::replace( line.begin(), line.end(), '\n', ' ' );
	std::replace( line.begin(), line.end(), '\r', ' ' );
	return line;
}

using Clock = std::chrono::steady_clock;
std::atomic< Clock::rep > lastLine( Clock::now().time_since_epoch().count() );

void Emit( const std::string& line )
{
	std::fputs( ( kPrefix + OneLine( line ) + "\n" ).c_str(), stdout );
	std::fflush( stdout );
	lastLine = Clock::now().time_since_epoch().count();
}

// The fields of a result line after "result"; false when it is not one.
bool ParseResult( const std::string& rest, CheckResult* result )
{
	std::istringstream fields( rest );
	std::string status;
	int ran                = 1;
	long long microseconds = 0;
	if( !( fields >> status >> result->name >> ran >> microseconds >> result->count ) )
		return false;
	result->milliseconds = static_cast< double >( microseconds ) / 1000.0;
	result->status = status == "PASS" ? CheckStatus::kPass : status == "WARN" ? CheckStatus::kWarn : CheckStatus::kFail;
	result->ran    = ran != 0;
	std::getline( fields, result->reason );
	if( !result->reason.empty() && result->reason[ 0 ] == ' ' )
		result->reason.erase( 0, 1 );
	return true;
}
}

void EmitBegin( const std::string& check )
{
	Emit( "begin " + check );
}

void EmitCall( const char* call, const std::string& detail )
{
	Emit( std::string( "call " ) + call + ( detail.empty() ? "" : " (" + detail + ")" ) );
}

void EmitResult( const CheckResult& result )
{
	// Whole numbers only: a plug-in may have set a locale that writes decimals with a comma.
	char fields[ 64 ];
	std::snprintf( fields, sizeof( fields ), " %d %lld %ld ", result.ran ? 1 : 0,
	               static_cast< long long >( result.milliseconds * 1000.0 + 0.5 ), result.count );
	Emit( std::string( "result " ) + StatusName( result.status ) + " " + result.name + fields + result.reason );
}

void EmitTime( const char* kind, double milliseconds )
{
	char text[ 64 ];
	std::snprintf( text, sizeof( text ), "time %s %.3f", kind, milliseconds );
	Emit( text );
}

void EmitLog( const std::string& text )
{
	Emit( "log " + text );
}

void EmitArtifact( const std::string& check, const std::string& file )
{
	Emit( "artifact " + check + " " + file );
}

void EmitEnd()
{
	Emit( "end" );
}

void EmitHungAndExit( int seconds )
{
	Emit( "hung " + std::to_string( seconds ) );
	std::_Exit( kExitHung );
}

double SecondsSinceLastLine()
{
	const Clock::duration since = Clock::now().time_since_epoch() - Clock::duration( lastLine.load() );
	return std::chrono::duration< double >( since ).count();
}

GroupOutcome ParseGroupOutput( const std::string& output )
{
	GroupOutcome outcome;
	for( std::string line : OutputLines( output ) )
	{
		if( line.compare( 0, 7, kPrefix ) != 0 )
			continue;
		line.erase( 0, 7 );
		const size_t space     = line.find( ' ' );
		const std::string word = line.substr( 0, space );
		const std::string rest = space == std::string::npos ? std::string() : line.substr( space + 1 );
		const size_t gap       = rest.find( ' ' );
		if( word == "begin" )
			outcome.currentCheck = rest;
		else if( word == "call" )
			outcome.lastCall = rest;
		else if( word == "log" )
			outcome.logLines.push_back( rest );
		else if( word == "artifact" && gap != std::string::npos )
			outcome.artifacts.emplace_back( rest.substr( 0, gap ), rest.substr( gap + 1 ) );
		else if( word == "end" )
			outcome.ended = true;
		else if( word == "hung" )
			outcome.hungAfter = std::max( 1, std::atoi( rest.c_str() ) );
		else if( word == "time" && gap != std::string::npos )
			outcome.times.emplace_back( rest.substr( 0, gap ), std::atof( rest.c_str() + gap + 1 ) );
		else if( word == "result" )
		{
			CheckResult result;
			if( !ParseResult( rest, &result ) )
				continue;
			if( result.name == outcome.currentCheck )
				outcome.currentCheck.clear();
			outcome.results.push_back( result );
		}
	}
	return outcome;
}
}
