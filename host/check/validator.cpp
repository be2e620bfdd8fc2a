// The parent of a check: the outputs tried first, each group's process run and merged into the report,
// the report printed and written, and the exit code.
#include "host/check/validator.h"

#include "host/check/check_plan.h"
#include "host/check/group_run.h"
#include "host/check/json_report.h"
#include "host/check/junit_report.h"
#include "host/core/exit_status.h"
#include "host/core/output_file.h"
#include "host/core/timing.h"

#include <algorithm>
#include <chrono>

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

// Every file the run is asked to write, tried before a run that may take many minutes; false with *error.
bool CanWriteOutputs( const CheckOptions& options, std::string* error )
{
	return ( options.jsonPath.empty() || CanWriteFile( options.jsonPath, error ) ) &&
	       ( options.junitPath.empty() || CanWriteFile( options.junitPath, error ) ) &&
	       ( options.artifactDirectory.empty() || PrepareOutputFolder( options.artifactDirectory, error ) );
}

// The checks of a group it never reported, failed as not run with the reason.
void AddNotRun( CheckRun& run, const CheckGroup& group, const std::string& reason )
{
	int missing = 0;
	for( const CheckDefinition& check : group.checks )
		if( !run.report.HasResult( check.name ) )
		{
			run.report.Add( { check.name, CheckStatus::kFail, reason, false } );
			++missing;
		}
	if( missing )
		SayProgress( run,
		             std::string( "  " ) + std::to_string( missing ) + " of " + group.name + "'s checks " + reason );
}

void RunGroups( CheckRun& run, const std::vector< const CheckGroup* >& groups )
{
	std::string notLoaded;
	bool probed = false;
	for( size_t i = 0; i < groups.size(); ++i )
	{
		const CheckGroup& group = *groups[ i ];
		if( !notLoaded.empty() )
		{
			AddNotRun( run, group, notLoaded );
			continue;
		}
		// Once, before the first group that compares pictures.
		if( group.comparesPictures && !probed )
		{
			run.unrepeatable = ProbeRepeatability( run, group );
			probed           = true;
		}
		const std::string stopped = RunGroup( run, group, i + 1, groups.size() );
		if( !run.cannotRun.empty() )
			notLoaded = "not run: " + run.cannotRun;
		else if( &group == &CheckGroups().front() )
			for( const CheckResult& r : run.report.Results() )
				if( r.name == "scan.load" && r.status == CheckStatus::kFail )
					notLoaded = "not run: the plug-in did not load (see scan.load)";
		AddNotRun( run, group,
		           !notLoaded.empty() ? notLoaded
		           : stopped.empty()  ? "not run: the group ended without it"
		                              : "not run: " + stopped );
	}
	const bool everything = groups.size() == CheckGroups().size();
	if( !notLoaded.empty() )
		return;
	// A check every group feeds and none did: the groups that make its calls all ended early.
	if( everything )
		for( const CheckDefinition& check : SharedChecks() )
			if( std::string( check.name ).compare( 0, 7, "timing." ) != 0 && !run.report.HasResult( check.name ) )
				run.report.Add( { check.name, CheckStatus::kFail,
				                  "not checked: every group that makes its calls ended early", false } );
	run.report.SummariseTiming( everything );
}
}

int RunCheck( const std::string& plugin, const CheckOptions& options, const EnvironmentSettings& environment )
{
	const double start = NowSeconds();
	std::string error;
	if( !CanWriteOutputs( options, &error ) )
	{
		PrintError( error );
		return kExitCannotRun;
	}
	CheckRun run;
	run.plugin      = plugin;
	run.options     = options;
	run.environment = environment;
	run.seed        = options.seedGiven ? options.seed : FreshSeed();
	std::vector< const CheckGroup* > groups;
	for( const CheckGroup& group : CheckGroups() )
		if( options.groups.empty() ||
		    std::find( options.groups.begin(), options.groups.end(), group.name ) != options.groups.end() )
			groups.push_back( &group );
	const std::string heading =
	    plugin + " at strictness " + std::to_string( options.strictness ) + ", seed " + std::to_string( run.seed );
	SayProgress( run, heading );

	run.report.SetArtifactDirectory( options.artifactDirectory );
	RunGroups( run, groups );
	run.report.Order( CatalogueOrder() );
	run.report.SetSeconds( NowSeconds() - start );
	if( options.quiet )
		run.report.PrintSummary( stdout, options.strictness, run.seed );
	else
		run.report.Print( stdout, "ffglhost check: " + heading, options.strictness, run.seed );

	std::vector< std::string > problems = run.unwritten;
	if( !run.cannotRun.empty() )
		problems.insert( problems.begin(), "the check could not be carried out: " + run.cannotRun );
	if( !options.jsonPath.empty() &&
	    !WriteJsonReport( options.jsonPath, run.report, plugin, options.strictness, run.seed, &error ) )
		problems.push_back( error );
	if( !options.junitPath.empty() &&
	    !WriteJUnit( options.junitPath, run.report, plugin, options.strictness, run.seed, &error ) )
		problems.push_back( error );
	for( const std::string& problem : problems )
		PrintError( problem );
	if( !problems.empty() )
		return kExitCannotRun;
	return run.report.Count( CheckStatus::kFail ) == 0 ? kExitOk : kExitFailed;
}
}
