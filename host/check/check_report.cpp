#include "host/check/check_report.h"

#include <algorithm>

namespace ffglhost
{
namespace
{
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

double Nearest( const std::vector< double >& sorted, int percent )
{
	const size_t rank = ( sorted.size() * static_cast< size_t >( percent ) + 99 ) / 100;
	return sorted[ std::max< size_t >( rank, 1 ) - 1 ];
}
}

void CheckReport::Add( const CheckResult& result )
{
	for( CheckResult& known : results )
		if( known.name == result.name )
		{
			if( Worse( result.status, known.status ) )
				known = result;
			else if( result.status == CheckStatus::kPass && known.status == CheckStatus::kPass && known.count >= 0 &&
			         result.count >= 0 )
			{
				known.count += result.count;
				known.milliseconds += result.milliseconds;
			}
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
		              result.name.c_str(), ReasonText( result ).c_str() );
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
	PrintSummary( stream, strictness, seed );
}

void CheckReport::PrintSummary( FILE* stream, int strictness, unsigned long long seed ) const
{
	const int warnings = Count( CheckStatus::kWarn );
	std::fprintf(
	    stream,
	    "summary: %zu checks, %d passed, %d warning%s, %d failed (strictness %d, seed %llu; replay with --seed %llu)\n",
	    results.size(), Count( CheckStatus::kPass ), warnings, warnings == 1 ? "" : "s", Count( CheckStatus::kFail ),
	    strictness, seed, seed );
	std::fflush( stream );
}
}
