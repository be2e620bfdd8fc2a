#pragma once
// The plug-in's log lines, as its SetLogCallback delivers them: collected for the summary.
#include <cstdio>
#include <string>
#include <vector>

namespace ffglhost
{
// The callback handed to the plug-in; one call adds one line.
void CollectLogLine( const char* text );

// Lines received so far, in order.
const std::vector< std::string >& CollectedLogLines();
void ClearCollectedLogLines();

// Each line on its own, prefixed ("plugin: ..."), to the given stream.
void PrintCollectedLogLines( FILE* stream );
}
