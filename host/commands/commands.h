#pragma once
// The commands of ffglhost. Each returns the process's exit code.
#include "host/commands/command_line.h"
#include "host/core/exit_status.h"

namespace ffglhost
{
// The command the line names; its exit code.
int RunParsedCommand( const CommandLine& line );

int InfoCommand( const CommandLine& line );
// run, and run --bench: BenchCommand starts this executable again per round, runtime present and absent in turn.
int RunCommand( const CommandLine& line );
int BenchCommand( const CommandLine& line );
// check: validates the plug-in, one child process per group of checks; 0 when no check failed.
int CheckCommand( const CommandLine& line );
// check-group: one group of a check, its results as lines on standard output for the parent.
int CheckGroupCommand( const CommandLine& line );
}
