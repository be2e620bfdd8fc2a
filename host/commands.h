#pragma once
// The commands of ffglhost. Each returns the process's exit code.
#include "host/command_line.h"

namespace ffglhost
{
const int kExitOk      = 0;
const int kExitFailed  = 1; // the plug-in, a file or the GL failed
const int kExitUsage   = 2; // the command line asked for something impossible

int InfoCommand( const CommandLine& line );
int RunCommand( const CommandLine& line );
// run --bench: starts this executable again per round, runtime present and absent in turn.
int BenchCommand( const CommandLine& line );
// check: validates the plug-in, one child process per group of checks; 0 when no check failed.
int CheckCommand( const CommandLine& line );
// check-group: one group of a check, its results as lines on standard output for the parent.
int CheckGroupCommand( const CommandLine& line );

// "ffglhost: " + message, on standard error.
void PrintError( const std::string& message );
}
