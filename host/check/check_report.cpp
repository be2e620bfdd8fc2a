#include "host/check/check_report.h"

#include "host/check/utf8.h"
#include "host/core/process.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>

namespace ffglhost
{
namespace
{
const char* const kPrefix     = "@check ";
const size_t kPrintedLogLines = 12;

// Budgets per kind of call, in milliseconds: generous, since this may render on the CPU.
struct Budget
{
	const char* kind;
	double milliseconds;
	const char* what;
};
const Budget kBudgets[] = {
	{ "scan", 1000.0, "load, FF_INITIALISE_V2, information codes, FF_DEINITIALISE and unload" },
	{ "instantiate", 1000.0, "FF_INSTANTIATE_GL" },
	{ "first_frame", 2000.0, "the first FF_PROCESS_OPENGL of an instance" },
	{ "steady_frame", 100.0, "later FF_PROCESS_OPENGL calls up to 1920x1080, with glFinish" },
	{ "deinstantiate", 500.0, "FF_DEINSTANTIATE_GL" },
};

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

int Rank( CheckStatus status )
{
	return static_cast< int >( status );
}

// A JSON string of any bytes: UTF-8 as it is, and each byte that is not part of a UTF-8 sequence as
// the character of that number (\u00e9 for a Latin-1 e acute), so that the report always parses.
std::string JsonText( const std::string& text )
{
	std::string out = "\"";
	for( size_t i = 0; i < text.size(); )
	{
		const unsigned char c = static_cast< unsigned char >( text[ i ] );
		const size_t length   = Utf8Length( text, i );
		if( length > 1 )
			out.append( text, i, length );
		else if( c == '"' || c == '\\' )
			out += std::string( "\\" ) + static_cast< char >( c );
		else if( c < 0x20 || length == 0 )
		{
			char escaped[ 8 ];
			std::snprintf( escaped, sizeof( escaped ), "\\u%04x", c );
			out += escaped;
		}
		else
			out += static_cast< char >( c );
		i += length > 1 ? length : 1;
	}
	return out + "\"";
}

// Two passes of one shared check from different groups, "12 calls ..." and "30 calls ...", read
// "42 calls ..."; other texts stay as the first was.
std::string AddCounts( const std::string& first, const std::string& second )
{
	char* end1        = nullptr;
	char* end2        = nullptr;
	const long count1 = std::strtol( first.c_str(), &end1, 10 );
	const long count2 = std::strtol( second.c_str(), &end2, 10 );
	if( end1 == first.c_str() || end2 == second.c_str() || std::string( end1 ) != std::string( end2 ) )
		return first;
	return std::to_string( count1 + count2 ) + end1;
}

// ", \"artifacts\": [...]" for a check with files, nothing for one without.
std::string ArtifactsJson( const std::vector< std::string >& paths )
{
	if( paths.empty() )
		return std::string();
	std::string list;
	for( const std::string& path : paths )
		list += ( list.empty() ? "" : ", " ) + JsonText( path );
	return ", \"artifacts\": [" + list + "]";
}

double Nearest( const std::vector< double >& sorted, int percent )
{
	const size_t rank = ( sorted.size() * static_cast< size_t >( percent ) + 99 ) / 100;
	return sorted[ std::max< size_t >( rank, 1 ) - 1 ];
}
}

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

void EmitBegin( const char* check )
{
	Emit( std::string( "begin " ) + check );
}

void EmitCall( const char* call, const std::string& detail )
{
	Emit( std::string( "call " ) + call + ( detail.empty() ? "" : " (" + detail + ")" ) );
}

void EmitResult( const CheckResult& result )
{
	Emit( std::string( "result " ) + StatusName( result.status ) + " " + result.name + " " + result.reason );
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
		if( word == "begin" )
			outcome.currentCheck = rest;
		else if( word == "call" )
			outcome.lastCall = rest;
		else if( word == "log" )
			outcome.logLines.push_back( rest );
		else if( word == "artifact" )
		{
			const size_t gap = rest.find( ' ' );
			if( gap != std::string::npos )
				outcome.artifacts.emplace_back( rest.substr( 0, gap ), rest.substr( gap + 1 ) );
		}
		else if( word == "end" )
			outcome.ended = true;
		else if( word == "hung" )
			outcome.hungAfter = std::max( 1, std::atoi( rest.c_str() ) );
		else if( word == "time" )
		{
			const size_t gap = rest.find( ' ' );
			if( gap != std::string::npos )
				outcome.times.emplace_back( rest.substr( 0, gap ), std::atof( rest.c_str() + gap + 1 ) );
		}
		else if( word == "result" )
		{
			CheckResult result;
			const size_t nameStart = rest.find( ' ' );
			if( nameStart == std::string::npos )
				continue;
			const std::string status = rest.substr( 0, nameStart );
			result.status            = status == "PASS"   ? CheckStatus::kPass
			                           : status == "WARN" ? CheckStatus::kWarn
			                                              : CheckStatus::kFail;
			const size_t nameEnd     = rest.find( ' ', nameStart + 1 );
			result.name              = rest.substr( nameStart + 1, nameEnd - nameStart - 1 );
			result.reason            = nameEnd == std::string::npos ? std::string() : rest.substr( nameEnd + 1 );
			if( result.name == outcome.currentCheck )
				outcome.currentCheck.clear();
			outcome.results.push_back( result );
		}
	}
	return outcome;
}

void CheckReport::Add( const CheckResult& result )
{
	for( CheckResult& known : results )
		if( known.name == result.name )
		{
			if( Rank( result.status ) > Rank( known.status ) )
				known = result;
			else if( result.status == CheckStatus::kPass && known.status == CheckStatus::kPass )
				known.reason = AddCounts( known.reason, result.reason );
			return;
		}
	results.push_back( result );
}

void CheckReport::AddTime( const std::string& kind, double milliseconds )
{
	times[ kind ].push_back( milliseconds );
}

void CheckReport::AddLogLine( const std::string& text )
{
	if( std::find( logLines.begin(), logLines.end(), text ) == logLines.end() )
		logLines.push_back( text );
}

void CheckReport::AddArtifact( const std::string& check, const std::string& file )
{
	artifacts[ check ].push_back( file );
}

void CheckReport::Order( const std::vector< std::string >& names )
{
	std::stable_sort( results.begin(), results.end(), [ &names ]( const CheckResult& a, const CheckResult& b ) {
		return std::find( names.begin(), names.end(), a.name ) < std::find( names.begin(), names.end(), b.name );
	} );
}

void CheckReport::SummariseTiming( bool everyGroupRan )
{
	timing.clear();
	for( const Budget& budget : kBudgets )
	{
		const std::string name = std::string( "timing." ) + budget.kind;
		auto found             = times.find( budget.kind );
		if( found == times.end() || found->second.empty() )
		{
			if( everyGroupRan )
				Add( { name, CheckStatus::kWarn, std::string( "no samples: no group timed " ) + budget.what } );
			continue;
		}
		std::vector< double > sorted = found->second;
		std::sort( sorted.begin(), sorted.end() );
		TimingLine line;
		line.kind   = budget.kind;
		line.count  = sorted.size();
		line.median = Nearest( sorted, 50 );
		line.p95    = Nearest( sorted, 95 );
		line.max    = sorted.back();
		line.budget = budget.milliseconds;
		timing.push_back( line );
		char text[ 256 ];
		std::snprintf( text, sizeof( text ),
		               "%s: median %.2f ms, p95 %.2f ms, max %.2f ms over %zu calls (budget %.0f ms)", budget.what,
		               line.median, line.p95, line.max, line.count, budget.milliseconds );
		const bool over = line.p95 > budget.milliseconds;
		Add( { name, over ? CheckStatus::kWarn : CheckStatus::kPass,
		       over ? std::string( "slow: " ) + text + "; hosts drop frames or stall when a call takes this long"
		            : text } );
	}
}

std::vector< std::string > CheckReport::Artifacts( const std::string& check ) const
{
	std::vector< std::string > paths;
	const auto found = artifacts.find( check );
	if( found != artifacts.end() )
		for( const std::string& file : found->second )
			paths.push_back( artifactDirectory.empty() ? file : artifactDirectory + "/" + file );
	return paths;
}

bool CheckReport::HasResult( const std::string& name ) const
{
	for( const CheckResult& result : results )
		if( result.name == name )
			return true;
	return false;
}

int CheckReport::Count( CheckStatus status ) const
{
	return static_cast< int >( std::count_if( results.begin(), results.end(),
	                                          [ status ]( const CheckResult& r ) { return r.status == status; } ) );
}

void CheckReport::Print( FILE* stream, const std::string& heading, int strictness, unsigned long long seed ) const
{
	std::fprintf( stream, "%s\n", heading.c_str() );
	size_t width = 0;
	for( const CheckResult& result : results )
		width = std::max( width, result.name.size() );
	for( const CheckResult& result : results )
	{
		std::fprintf( stream, "%s  %-*s  %s\n", StatusName( result.status ), static_cast< int >( width ),
		              result.name.c_str(), result.reason.c_str() );
		for( const std::string& path : Artifacts( result.name ) )
			std::fprintf( stream, "      %-*s  picture: %s\n", static_cast< int >( width ), "", path.c_str() );
	}
	if( !logLines.empty() )
	{
		std::fprintf( stream, "the plug-in's log (each line once):\n" );
		for( size_t i = 0; i < logLines.size() && i < kPrintedLogLines; ++i )
			std::fprintf( stream, "  plugin: %s\n", logLines[ i ].c_str() );
		if( logLines.size() > kPrintedLogLines )
			std::fprintf( stream, "  ... and %zu more lines (all of them in the JSON)\n",
			              logLines.size() - kPrintedLogLines );
	}
	const int warnings = Count( CheckStatus::kWarn );
	std::fprintf(
	    stream,
	    "summary: %zu checks, %d passed, %d warning%s, %d failed (strictness %d, seed %llu; replay with --seed %llu)\n",
	    results.size(), Count( CheckStatus::kPass ), warnings, warnings == 1 ? "" : "s", Count( CheckStatus::kFail ),
	    strictness, seed, seed );
	std::fflush( stream );
}

bool CheckReport::WriteJson( const std::string& path, const std::string& plugin, int strictness,
                             unsigned long long seed, std::string* error ) const
{
	std::ofstream file( path, std::ios::binary );
	if( !file )
	{
		*error = "cannot write " + path;
		return false;
	}
	file << "{\n  \"plugin\": " << JsonText( plugin ) << ",\n  \"strictness\": " << strictness
	     << ",\n  \"seed\": " << seed << ",\n  \"summary\": {\"checks\": " << results.size()
	     << ", \"passed\": " << Count( CheckStatus::kPass ) << ", \"warnings\": " << Count( CheckStatus::kWarn )
	     << ", \"failed\": " << Count( CheckStatus::kFail ) << "},\n  \"checks\": [\n";
	for( size_t i = 0; i < results.size(); ++i )
		file << "    {\"name\": " << JsonText( results[ i ].name )
		     << ", \"status\": " << JsonText( StatusName( results[ i ].status ) )
		     << ", \"reason\": " << JsonText( results[ i ].reason ) << ArtifactsJson( Artifacts( results[ i ].name ) )
		     << "}" << ( i + 1 < results.size() ? ",\n" : "\n" );
	file << "  ],\n  \"timing\": [\n";
	for( size_t i = 0; i < timing.size(); ++i )
	{
		char numbers[ 200 ];
		std::snprintf( numbers, sizeof( numbers ),
		               "\"calls\": %zu, \"median_ms\": %.3f, \"p95_ms\": %.3f, \"max_ms\": %.3f, \"budget_ms\": %.0f",
		               timing[ i ].count, timing[ i ].median, timing[ i ].p95, timing[ i ].max, timing[ i ].budget );
		file << "    {\"kind\": " << JsonText( timing[ i ].kind ) << ", " << numbers << "}"
		     << ( i + 1 < timing.size() ? ",\n" : "\n" );
	}
	file << "  ],\n  \"log\": [";
	for( size_t i = 0; i < logLines.size(); ++i )
		file << ( i ? ", " : "" ) << JsonText( logLines[ i ] );
	file << "]\n}\n";
	if( !file.good() )
	{
		*error = "cannot write " + path;
		return false;
	}
	return true;
}
}
