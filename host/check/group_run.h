#pragma once
// The parent's side of one group: its process started with the run's options, its lines read as they
// come (each check's end said on standard error at once, so a long run never looks hung) and merged
// into the report; and the repeatability probes, two such processes compared.
#include "host/check/check_report.h"
#include "host/check/group_table.h"
#include "host/check/validator.h"

#include <string>
#include <vector>

namespace ffglhost
{
// What the groups of one run share, and what they found beyond their results.
struct CheckRun
{
	std::string plugin;
	CheckOptions options;
	EnvironmentSettings environment;
	unsigned long long seed = 0;
	std::string unrepeatable; // what the probes found; empty: the effect draws twice alike
	CheckReport report;
	std::string cannotRun;                // why the run cannot be carried out; empty: it can
	std::vector< std::string > unwritten; // files a group could not write, with the reason
};

// "ffglhost check: " + text on standard error, unless the run is quiet.
void SayProgress( const CheckRun& run, const std::string& text );

// Runs the group's process and adds what it reported to run.report; the reason the group stopped early,
// or empty. A check it was in when its process ended (a crash, a hang) fails with the reason.
std::string RunGroup( CheckRun& run, const CheckGroup& group, size_t number, size_t count );

// Two processes draw the same frames in a fresh instance each; what differs between them, or empty.
std::string ProbeRepeatability( const CheckRun& run, const CheckGroup& group );
}
