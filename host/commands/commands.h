#pragma once
// The commands of ffglhost. Each returns the process's exit code.
#include "host/commands/command_line.h"
#include "host/core/exit_status.h"

namespace ffglhost
{
int InfoCommand( const CommandLine& line );
int RunCommand( const CommandLine& line );
// run --bench: starts this executable again per round, runtime present and absent in turn.
int BenchCommand( const CommandLine& line );
// check: validates the plug-in, one child process per group of checks; 0 when no check failed.
int CheckCommand( const CommandLine& line );
// check-group: one group of a check, its results as lines on standard output for the parent.
int CheckGroupCommand( const CommandLine& line );
}
