#pragma once
// How ffglhost ends: its exit codes, and the line on standard error that says why it failed.
#include <string>

namespace ffglhost
{
const int kExitOk     = 0;
const int kExitFailed = 1; // the plug-in, a file or the GL failed
const int kExitUsage  = 2; // the command line asked for something impossible

// "ffglhost: " + message, on standard error.
void PrintError( const std::string& message );
}
