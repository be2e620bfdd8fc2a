// ffglhost check: every group in a child process of this executable ("check-group"), so a plug-in that
// crashes fails the check it crashed in, never the validator. The parent reads each child's result lines,
// merges them, and prints one line per check, the timing, the plug-in's log and a summary.
#include "host/check_groups.h"
#include "host/check_junit.h"
#include "host/check_plan.h"
#include "host/check_report.h"
#include "host/commands.h"
#include "host/process.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

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

// Runs one group's child and adds what it reported; the reason the group stopped early, or empty.
std::string RunGroup( const CommandLine& line, unsigned long long seed, const CheckGroup& group, CheckReport& report )
{
	std::vector< std::string > arguments = { ExecutablePath(),
		                                     "check-group",
		                                     group.name,
		                                     line.plugin,
		                                     "--strictness",
		                                     std::to_string( line.strictness ),
		                                     "--seed",
		                                     std::to_string( seed ),
		                                     "--call-timeout",
		                                     std::to_string( line.callTimeout ) };
	if( !line.artifactDirectory.empty() )
	{
		arguments.push_back( "--artifacts" );
		arguments.push_back( line.artifactDirectory );
	}
	// Passed on, not inherited: Wine sets ProgramFiles afresh in every process it starts.
	for( const auto& variable : line.environment )
	{
		arguments.push_back( "--env" );
		arguments.push_back( variable.first + "=" + variable.second );
	}
	std::fprintf( stderr, "ffglhost check: %s ...\n", group.name );
	ProcessResult result = RunProcess( arguments );
	// A group's process writes its first line before it loads anything. One that wrote nothing never
	// ran (Wine, under load, now and then fails to start a process): it is started once more.
	if( result.output.find( "@check " ) == std::string::npos )
		result = RunProcess( arguments );
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
	                  : result.crashed ? "the plug-in crashed (" + result.crash + ")"
	                                   : "the group's process ended with exit code " + std::to_string( result.exitCode );
	if( outcome.hungAfter )
		why = "the plug-in did not return from " + ( outcome.lastCall.empty() ? "its call" : outcome.lastCall ) +
		      " within " + std::to_string( outcome.hungAfter ) + " s";
	else if( !outcome.lastCall.empty() )
		why += " in " + outcome.lastCall;
	if( !outcome.currentCheck.empty() )
		report.Add( { outcome.currentCheck, CheckStatus::kFail, why } );
	return why + ( outcome.currentCheck.empty() ? "" : ", during " + outcome.currentCheck );
}

// The catalogue's order: groups' checks first, then the shared ones.
std::vector< std::string > CatalogueOrder()
{
	std::vector< std::string > order;
	for( const CheckGroup& group : CheckGroups() )
		order.insert( order.end(), group.checks.begin(), group.checks.end() );
	order.insert( order.end(), SharedChecks().begin(), SharedChecks().end() );
	return order;
}
}

int CheckCommand( const CommandLine& line )
{
	const unsigned long long seed = line.seedGiven ? line.seed : FreshSeed();
	std::vector< const CheckGroup* > groups;
	for( const CheckGroup& group : CheckGroups() )
		if( line.groups.empty() || std::find( line.groups.begin(), line.groups.end(), group.name ) != line.groups.end() )
			groups.push_back( &group );
	const bool everything = groups.size() == CheckGroups().size();
	std::fprintf( stderr, "ffglhost check: %s at strictness %d, seed %llu\n", line.plugin.c_str(), line.strictness, seed );

	CheckReport report;
	report.SetArtifactDirectory( line.artifactDirectory );
	std::string notLoaded;
	for( const CheckGroup* group : groups )
	{
		const std::string stopped = notLoaded.empty() ? RunGroup( line, seed, *group, report ) : std::string();
		if( group == &CheckGroups().front() && notLoaded.empty() )
			for( const CheckResult& r : report.Results() )
				if( r.name == "scan.load" && r.status == CheckStatus::kFail )
					notLoaded = "not run: the plug-in did not load (see scan.load)";
		for( const char* check : group->checks )
			if( !report.HasResult( check ) )
				report.Add( { check, CheckStatus::kFail,
				              !notLoaded.empty() ? notLoaded
				              : stopped.empty()  ? "not run: the group ended without it"
				                                 : "not run: " + stopped } );
	}
	// A check every group feeds and none did: the groups that make its calls all ended early.
	if( everything && notLoaded.empty() )
		for( const char* check : SharedChecks() )
			if( std::string( check ).compare( 0, 7, "timing." ) != 0 && !report.HasResult( check ) )
				report.Add( { check, CheckStatus::kFail, "not checked: every group that makes its calls ended early" } );
	if( notLoaded.empty() )
		report.SummariseTiming( everything );
	report.Order( CatalogueOrder() );
	report.Print( stdout, "ffglhost check: " + line.plugin + " at strictness " + std::to_string( line.strictness ) + ", seed " +
	                          std::to_string( seed ),
	              line.strictness, seed );
	std::string error;
	if( ( !line.jsonPath.empty() && !report.WriteJson( line.jsonPath, line.plugin, line.strictness, seed, &error ) ) ||
	    ( !line.junitPath.empty() && !WriteJUnit( line.junitPath, report, line.plugin, line.strictness, seed, &error ) ) )
	{
		PrintError( error );
		return kExitFailed;
	}
	return report.Count( CheckStatus::kFail ) == 0 ? kExitOk : kExitFailed;
}

// Ends the group's process when one call into the plug-in takes longer than the limit: a hung plug-in
// fails the check it hung in, as a crashed one does, instead of stalling the whole run.
class Watchdog
{
public:
	explicit Watchdog( int seconds ) : limit( seconds ), thread( [this] { Watch(); } ) {}
	~Watchdog()
	{
		stop = true;
		thread.join();
	}

private:
	void Watch()
	{
		while( !stop )
		{
			std::this_thread::sleep_for( std::chrono::milliseconds( 100 ) );
			if( SecondsSinceLastLine() > limit )
				EmitHungAndExit( limit );
		}
	}
	const int limit;
	std::atomic< bool > stop{ false };
	std::thread thread;
};

int CheckGroupCommand( const CommandLine& line )
{
	Watchdog watchdog( line.callTimeout );
	const CheckGroup* group = FindCheckGroup( line.groups.front() );
	const CheckPlan plan    = MakeCheckPlan( line.strictness );
	CheckSession session( group->name, plan, GroupSeed( line.seed, group->name ) );
	session.SetArtifactDirectory( line.artifactDirectory );
	if( std::string( group->name ) == "scan" )
		RunScanGroup( session, line.plugin );
	else
	{
		std::string error;
		if( !session.Open( line.plugin, &error ) )
			for( const char* check : group->checks )
				session.Fail( check, "not run: " + error );
		else if( std::string( group->name ) == "protocol" )
			RunProtocolGroup( session );
		else if( std::string( group->name ) == "instances" )
			RunInstancesGroup( session );
		else if( std::string( group->name ) == "parameters" )
			RunParametersGroup( session );
		else if( std::string( group->name ) == "sizes" )
			RunSizesGroup( session );
		else
			RunOutputGroup( session );
	}
	session.Close();
	EmitEnd();
	return kExitOk;
}
}
