// The parent of a check: runs each group's child, reads its result lines, merges them, and prints one
// line per check, the timing, the plug-in's log and a summary.
#include "host/check/validator.h"

#include "host/check/check_plan.h"
#include "host/check/check_report.h"
#include "host/check/group_lines.h"
#include "host/check/group_table.h"
#include "host/check/json_report.h"
#include "host/check/junit_report.h"
#include "host/check/repeatability.h"
#include "host/core/exit_status.h"
#include "host/core/process.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace ffglhost
{
namespace
{
unsigned long long FreshSeed()
{
	const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
	CheckRandom mix( static_cast< uint64_t >( ticks ) );
	return mix.Next() % 1000000000ull; // short enough to type when replaying
}

// The command line of a group's process.
std::vector< std::string > GroupArguments( const std::string& plugin, const CheckOptions& options,
                                           const EnvironmentSettings& environment, unsigned long long seed,
                                           const CheckGroup& group )
{
	std::vector< std::string > arguments = { ExecutablePath(), "check-group",
		                                     group.name,       plugin,
		                                     "--strictness",   std::to_string( options.strictness ),
		                                     "--seed",         std::to_string( seed ),
		                                     "--call-timeout", std::to_string( options.callTimeout ) };
	if( !options.artifactDirectory.empty() )
	{
		arguments.push_back( "--artifacts" );
		arguments.push_back( options.artifactDirectory );
	}
	// Passed on, not inherited: Wine sets ProgramFiles afresh in every process it starts.
	for( const auto& variable : environment )
	{
		arguments.push_back( "--env" );
		arguments.push_back( variable.first + "=" + variable.second );
	}
	return arguments;
}

ProcessResult RunGroupProcess( const std::vector< std::string >& arguments )
{
	ProcessResult result = RunProcess( arguments );
	// A group's process writes its first line before it loads anything. One that wrote nothing never
	// ran (Wine, under load, now and then fails to start a process): it is started once more.
	if( result.output.find( "@check " ) == std::string::npos )
		result = RunProcess( arguments );
	return result;
}

// Two processes draw the same frames in a fresh instance each; what differs between them, or empty.
std::string ProbeRepeatability( const std::string& plugin, const CheckOptions& options,
                                const EnvironmentSettings& environment, unsigned long long seed,
                                const CheckGroup& group )
{
	std::fprintf( stderr, "ffglhost check: whether it draws twice alike ...\n" );
	std::vector< std::string > arguments = GroupArguments( plugin, options, environment, seed, group );
	arguments.push_back( "--probe" );
	const GroupOutcome first = ParseGroupOutput( RunGroupProcess( arguments ).output );
	if( first.pictures.empty() )
		return std::string();
	const std::string finding = CompareProbes( first, ParseGroupOutput( RunGroupProcess( arguments ).output ) );
	if( !finding.empty() )
		std::fprintf( stderr,
		              "ffglhost check: it does not draw twice alike: %s; pictures are judged without "
		              "comparing them\n",
		              finding.c_str() );
	return finding;
}

// Runs one group's child and adds what it reported; the reason the group stopped early, or empty.
std::string RunGroup( const std::string& plugin, const CheckOptions& options, const EnvironmentSettings& environment,
                      unsigned long long seed, const CheckGroup& group, const std::string& unrepeatable,
                      CheckReport& report )
{
	std::vector< std::string > arguments = GroupArguments( plugin, options, environment, seed, group );
	if( !unrepeatable.empty() )
	{
		arguments.push_back( "--unrepeatable" );
		arguments.push_back( unrepeatable );
	}
	std::fprintf( stderr, "ffglhost check: %s ...\n", group.name );
	const ProcessResult result = RunGroupProcess( arguments );
	const GroupOutcome outcome = ParseGroupOutput( result.output );
	for( const CheckResult& r : outcome.results )
		report.Add( r );
	for( const auto& time : outcome.times )
		report.AddTime( time.first, time.second );
	for( const std::string& text : outcome.logLines )
		report.AddLogLine( text );
	for( const auto& artifact : outcome.artifacts )
		report.AddArtifact( artifact.first, artifact.second );
	if( outcome.ended && !result.crashed && result.exitCode == 0 )
		return std::string();

	// Ended without its last line: the plug-in crashed, or ended the process (a sanitizer's report does).
	std::string why = !result.started ? "the group's process could not be started"
	                  : result.crashed
	                      ? "the plug-in crashed (" + result.crash + ")"
	                      : "the group's process ended with exit code " + std::to_string( result.exitCode );
	if( outcome.hungAfter )
		why = "the plug-in did not return from " + ( outcome.lastCall.empty() ? "its call" : outcome.lastCall ) +
		      " within " + std::to_string( outcome.hungAfter ) + " s";
	else if( !outcome.lastCall.empty() )
		why += " in " + outcome.lastCall;
	if( !outcome.currentCheck.empty() )
		report.Add( { outcome.currentCheck, CheckStatus::kFail, why } ); // it ran, and broke
	return why + ( outcome.currentCheck.empty() ? "" : ", during " + outcome.currentCheck );
}

// The catalogue's order: groups' checks first, then the shared ones.
std::vector< std::string > CatalogueOrder()
{
	std::vector< std::string > order;
	for( const CheckGroup& group : CheckGroups() )
		for( const CheckDefinition& check : group.checks )
			order.push_back( check.name );
	for( const CheckDefinition& check : SharedChecks() )
		order.push_back( check.name );
	return order;
}
}

int RunCheck( const std::string& plugin, const CheckOptions& options, const EnvironmentSettings& environment )
{
	const unsigned long long seed = options.seedGiven ? options.seed : FreshSeed();
	std::vector< const CheckGroup* > groups;
	for( const CheckGroup& group : CheckGroups() )
		if( options.groups.empty() ||
		    std::find( options.groups.begin(), options.groups.end(), group.name ) != options.groups.end() )
			groups.push_back( &group );
	const bool everything = groups.size() == CheckGroups().size();
	std::fprintf( stderr, "ffglhost check: %s at strictness %d, seed %llu\n", plugin.c_str(), options.strictness,
	              seed );

	CheckReport report;
	report.SetArtifactDirectory( options.artifactDirectory );
	std::string notLoaded, unrepeatable;
	bool probed = false;
	for( const CheckGroup* group : groups )
	{
		// Once, before the first group that compares pictures.
		if( notLoaded.empty() && group->comparesPictures && !probed )
		{
			unrepeatable = ProbeRepeatability( plugin, options, environment, seed, *group );
			probed       = true;
		}
		const std::string stopped = notLoaded.empty()
		                                ? RunGroup( plugin, options, environment, seed, *group, unrepeatable, report )
		                                : std::string();
		if( group == &CheckGroups().front() && notLoaded.empty() )
			for( const CheckResult& r : report.Results() )
				if( r.name == "scan.load" && r.status == CheckStatus::kFail )
					notLoaded = "not run: the plug-in did not load (see scan.load)";
		for( const CheckDefinition& check : group->checks )
			if( !report.HasResult( check.name ) )
				report.Add( { check.name, CheckStatus::kFail,
				              !notLoaded.empty() ? notLoaded
				              : stopped.empty()  ? "not run: the group ended without it"
				                                 : "not run: " + stopped,
				              false } );
	}
	// A check every group feeds and none did: the groups that make its calls all ended early.
	if( everything && notLoaded.empty() )
		for( const CheckDefinition& check : SharedChecks() )
			if( std::string( check.name ).compare( 0, 7, "timing." ) != 0 && !report.HasResult( check.name ) )
				report.Add( { check.name, CheckStatus::kFail,
				              "not checked: every group that makes its calls ended early", false } );
	if( notLoaded.empty() )
		report.SummariseTiming( everything );
	report.Order( CatalogueOrder() );
	report.Print( stdout,
	              "ffglhost check: " + plugin + " at strictness " + std::to_string( options.strictness ) + ", seed " +
	                  std::to_string( seed ),
	              options.strictness, seed );
	std::string error;
	if( ( !options.jsonPath.empty() &&
	      !WriteJsonReport( options.jsonPath, report, plugin, options.strictness, seed, &error ) ) ||
	    ( !options.junitPath.empty() &&
	      !WriteJUnit( options.junitPath, report, plugin, options.strictness, seed, &error ) ) )
	{
		PrintError( error );
		return kExitFailed;
	}
	return report.Count( CheckStatus::kFail ) == 0 ? kExitOk : kExitFailed;
}
}
