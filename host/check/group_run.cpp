#include "host/check/group_run.h"

#include "host/check/group_lines.h"
#include "host/check/repeatability.h"
#include "host/core/process.h"
#include "host/core/timing.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>

namespace ffglhost
{
namespace
{
// The command line of a group's process.
std::vector< std::string > GroupArguments( const CheckRun& run, const CheckGroup& group )
{
	const CheckOptions& options          = run.options;
	std::vector< std::string > arguments = { ExecutablePath(), "check-group",
		                                     group.name,       run.plugin,
		                                     "--strictness",   std::to_string( options.strictness ),
		                                     "--seed",         std::to_string( run.seed ),
		                                     "--call-timeout", std::to_string( options.callTimeout ) };
	if( !options.artifactDirectory.empty() )
	{
		arguments.push_back( "--artifacts" );
		arguments.push_back( options.artifactDirectory );
	}
	// Passed on, not inherited: Wine sets ProgramFiles afresh in every process it starts.
	for( const auto& variable : run.environment )
	{
		arguments.push_back( "--env" );
		arguments.push_back( variable.first + "=" + variable.second );
	}
	return arguments;
}

// The group's process, its lines read into *outcome as they come; after each, onLine is told whether
// it was a result.
ProcessResult RunGroupProcess( const std::vector< std::string >& arguments, GroupOutcome* outcome,
                               const std::function< void( bool result ) >& onLine )
{
	auto read            = [ & ]( const std::string& line ) { onLine( ReadGroupLine( line, outcome ) ); };
	ProcessResult result = RunProcess( arguments, read );
	// A group's process writes its first line before it loads anything. One that wrote nothing never
	// ran (Wine, under load, now and then fails to start a process): it is started once more.
	if( !outcome->heard )
	{
		*outcome = GroupOutcome();
		result   = RunProcess( arguments, read );
	}
	return result;
}

GroupOutcome ProbeOnce( const std::vector< std::string >& arguments )
{
	GroupOutcome outcome;
	RunGroupProcess( arguments, &outcome, []( bool ) {} );
	return outcome;
}

bool InGroup( const CheckGroup& group, const std::string& check )
{
	for( const CheckDefinition& definition : group.checks )
		if( check == definition.name )
			return true;
	return false;
}

// The name and spaces to the longest check's name and two more, so the times line up.
std::string Padded( const std::string& name )
{
	static const size_t width = [] {
		size_t longest = 0;
		for( const CheckGroup& group : CheckGroups() )
			for( const CheckDefinition& check : group.checks )
				longest = std::max( longest, std::strlen( check.name ) );
		return longest + 2;
	}();
	return name + std::string( name.size() < width ? width - name.size() : 2, ' ' );
}

std::string Seconds( double milliseconds )
{
	char text[ 32 ];
	std::snprintf( text, sizeof( text ), "%.1f s", milliseconds / 1000.0 );
	return text;
}
}

void SayProgress( const CheckRun& run, const std::string& text )
{
	if( run.options.quiet )
		return;
	std::fprintf( stderr, "ffglhost check: %s\n", text.c_str() );
	std::fflush( stderr );
}

std::string ProbeRepeatability( const CheckRun& run, const CheckGroup& group )
{
	SayProgress( run, "whether it draws twice alike ..." );
	std::vector< std::string > arguments = GroupArguments( run, group );
	arguments.push_back( "--probe" );
	const GroupOutcome first = ProbeOnce( arguments );
	if( first.pictures.empty() )
		return std::string();
	const std::string finding = CompareProbes( first, ProbeOnce( arguments ) );
	if( !finding.empty() )
		SayProgress( run, "it does not draw twice alike: " + finding + "; pictures are judged without comparing them" );
	return finding;
}

std::string RunGroup( CheckRun& run, const CheckGroup& group, size_t number, size_t count )
{
	std::vector< std::string > arguments = GroupArguments( run, group );
	if( !run.unrepeatable.empty() )
	{
		arguments.push_back( "--unrepeatable" );
		arguments.push_back( run.unrepeatable );
	}
	SayProgress( run, group.name + std::string( " (group " ) + std::to_string( number ) + " of " +
	                      std::to_string( count ) + ", " + std::to_string( group.checks.size() ) + " checks) ..." );
	GroupOutcome outcome;
	std::string current;          // the check begun last
	double begun  = NowSeconds(); // and when, for one that never ends
	auto progress = [ & ]( bool result ) {
		if( outcome.currentCheck != current && !outcome.currentCheck.empty() )
			begun = NowSeconds();
		current = outcome.currentCheck;
		// The checks every group feeds end with the run, not here.
		if( result && InGroup( group, outcome.results.back().name ) )
		{
			const CheckResult& r = outcome.results.back();
			SayProgress( run, std::string( "  " ) + StatusName( r.status ) + "  " + Padded( r.name ) +
			                      ( r.ran ? Seconds( r.milliseconds ) : "not run" ) );
		}
	};
	const ProcessResult result = RunGroupProcess( arguments, &outcome, progress );
	for( const CheckResult& r : outcome.results )
		run.report.Add( r );
	for( const auto& time : outcome.times )
		run.report.AddTime( time.first, time.second );
	for( const std::string& text : outcome.logLines )
		run.report.AddLogLine( text );
	for( const auto& artifact : outcome.artifacts )
		run.report.AddArtifact( artifact.first, artifact.second );
	run.unwritten.insert( run.unwritten.end(), outcome.unwritten.begin(), outcome.unwritten.end() );
	// Its first line comes before anything loads: a process that wrote none never got going, twice.
	if( !result.started || !outcome.heard )
		run.cannotRun = "the group's process " + arguments[ 0 ] + " did not start (" +
		                ( result.started ? "exit code " + std::to_string( result.exitCode ) + " before its first line"
		                                 : result.failure ) +
		                ")";
	else if( !outcome.cannotRun.empty() )
		run.cannotRun = outcome.cannotRun;
	if( !run.cannotRun.empty() )
		return run.cannotRun;
	if( outcome.ended && !result.crashed && result.exitCode == 0 )
		return std::string();

	// Ended without its last line: the plug-in crashed, or ended the process (a sanitizer's report does).
	std::string why = result.crashed ? "the plug-in crashed (" + result.crash + ")"
	                                 : "the group's process ended with exit code " + std::to_string( result.exitCode );
	if( outcome.hungAfter )
		why = "the plug-in did not return from " + ( outcome.lastCall.empty() ? "its call" : outcome.lastCall ) +
		      " within " + std::to_string( outcome.hungAfter ) + " s";
	else if( !outcome.lastCall.empty() )
		why += " in " + outcome.lastCall;
	if( !outcome.currentCheck.empty() ) // it ran, and broke
	{
		run.report.Add( { outcome.currentCheck, CheckStatus::kFail, why, true, ( NowSeconds() - begun ) * 1000.0 } );
		SayProgress( run, "  FAIL  " + outcome.currentCheck + "  " + why );
	}
	return why + ( outcome.currentCheck.empty() ? "" : ", during " + outcome.currentCheck );
}
}
