#pragma once
// ffglhost check, the validator: every group in a child process of this executable ("check-group"), so
// a plug-in that crashes or hangs fails the check it was in, never the validator.
#include <string>
#include <utility>
#include <vector>

namespace ffglhost
{
struct CheckOptions
{
	int strictness          = 5; // how much work: 1 (a quick smoke run) to 10
	unsigned long long seed = 0; // of every random choice
	bool seedGiven          = false;
	std::string jsonPath;              // empty: no JSON
	std::string junitPath;             // empty: no JUnit XML
	std::string artifactDirectory;     // the pictures of picture checks that warn or fail; empty: none
	std::vector< std::string > groups; // empty: all
	int callTimeout = 60;              // seconds one call may take before its group counts as hung
	bool quiet      = false;           // no progress on standard error, and only the summary on standard output
	// Between the parent and a group's process (check-group) only:
	bool probe = false;       // draw the repeatability probe instead of the group's checks
	std::string unrepeatable; // what the probes found when the effect does not draw twice alike; empty: it does
};

// Variables set in the environment before the plug-in loads, NAME and VALUE, in order.
using EnvironmentSettings = std::vector< std::pair< std::string, std::string > >;

// Runs the groups, each in a child process, with a line on standard error as each group starts and
// each check ends, and prints one line per check, the timing, the plug-in's log and a summary; the exit
// code: kExitOk when no check failed, kExitFailed when one did, kExitCannotRun when the run could not be
// carried out (no GL context, the plug-in file not loadable, a report or picture that cannot be written).
int RunCheck( const std::string& plugin, const CheckOptions& options, const EnvironmentSettings& environment );
// In a group's child: runs options.groups.front(), its results as lines on standard output.
int RunCheckGroup( const std::string& plugin, const CheckOptions& options );
}
