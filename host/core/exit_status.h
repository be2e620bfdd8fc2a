#pragma once
// How ffglhost ends: its exit codes, and the line on standard error that says why it failed. Scripts
// and CI jobs rely on the four codes; the help, docs/check.md and the README list them.
#include <string>

namespace ffglhost
{
const int kExitOk     = 0;
const int kExitFailed = 1; // the plug-in failed: a check failed, or it failed a call info or run needs
const int kExitUsage  = 2; // the command line was refused
// not carried out: no GL context, the plug-in file not loadable, a file unreadable or unwritable
const int kExitCannotRun = 3;

// "ffglhost: " + message, on standard error.
void PrintError( const std::string& message );
}
