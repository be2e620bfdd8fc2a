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
const char kPrefix[]      = "@check ";
const size_t kPrefixChars = sizeof( kPrefix ) - 1;

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

int HexDigit( char c )
{
	return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// "W H HEX" back into a picture; false when the text is not a whole one.
bool ParsePicture( const std::string& rest, Picture* picture )
{
	std::istringstream fields( rest );
	int w = 0, h = 0;
	std::string hex;
	if( !( fields >> w >> h >> hex ) || w < 1 || h < 1 || w > 4096 || h > 4096 ||
	    hex.size() != static_cast< size_t >( w ) * static_cast< size_t >( h ) * 8 )
		return false;
	ResizePicture( *picture, w, h );
	for( size_t i = 0; i < picture->rgba.size(); ++i )
	{
		const int high = HexDigit( hex[ 2 * i ] ), low = HexDigit( hex[ 2 * i + 1 ] );
		if( high < 0 || low < 0 )
			return false;
		picture->rgba[ i ] = static_cast< uint8_t >( high * 16 + low );
	}
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
	// In microseconds, whole, as a result's time is.
	char text[ 64 ];
	std::snprintf( text, sizeof( text ), "time %s %lld", kind,
	               static_cast< long long >( milliseconds * 1000.0 + 0.5 ) );
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

void EmitPicture( const Picture& picture )
{
	static const char kDigits[] = "0123456789abcdef";
	std::string line = "picture " + std::to_string( picture.width ) + " " + std::to_string( picture.height ) + " ";
	line.reserve( line.size() + picture.rgba.size() * 2 );
	for( uint8_t byte : picture.rgba )
	{
		line += kDigits[ byte >> 4 ];
		line += kDigits[ byte & 15 ];
	}
	Emit( line );
}

void EmitEnd()
{
	Emit( "end" );
}

void EmitCannotRun( const std::string& reason )
{
	Emit( "cannot " + reason );
}

void EmitUnwritten( const std::string& reason )
{
	Emit( "unwritten " + reason );
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

bool ReadGroupLine( const std::string& text, GroupOutcome* outcome )
{
	if( text.compare( 0, kPrefixChars, kPrefix ) != 0 )
		return false;
	outcome->heard         = true;
	const std::string line = text.substr( kPrefixChars );
	const size_t space     = line.find( ' ' );
	const std::string word = line.substr( 0, space );
	const std::string rest = space == std::string::npos ? std::string() : line.substr( space + 1 );
	const size_t gap       = rest.find( ' ' );
	if( word == "begin" )
		outcome->currentCheck = rest;
	else if( word == "call" )
		outcome->lastCall = rest;
	else if( word == "log" )
		outcome->logLines.push_back( rest );
	else if( word == "artifact" && gap != std::string::npos )
		outcome->artifacts.emplace_back( rest.substr( 0, gap ), rest.substr( gap + 1 ) );
	else if( word == "end" )
		outcome->ended = true;
	else if( word == "hung" )
		outcome->hungAfter = std::max( 1, std::atoi( rest.c_str() ) );
	else if( word == "cannot" )
		outcome->cannotRun = rest;
	else if( word == "unwritten" )
		outcome->unwritten.push_back( rest );
	else if( word == "time" && gap != std::string::npos )
		outcome->times.emplace_back( rest.substr( 0, gap ), std::atoll( rest.c_str() + gap + 1 ) / 1000.0 );
	else if( word == "picture" )
	{
		Picture picture;
		if( ParsePicture( rest, &picture ) )
			outcome->pictures.push_back( picture );
	}
	else if( word == "result" )
	{
		CheckResult result;
		if( !ParseResult( rest, &result ) )
			return false;
		if( result.name == outcome->currentCheck )
			outcome->currentCheck.clear();
		if( !outcome->cannotRun.empty() && result.status == CheckStatus::kFail )
			result.ran = false;
		outcome->results.push_back( result );
		return true;
	}
	return false;
}

GroupOutcome ParseGroupOutput( const std::string& output )
{
	GroupOutcome outcome;
	for( const std::string& line : OutputLines( output ) )
		ReadGroupLine( line, &outcome );
	return outcome;
}
}
