#pragma once
// The lines between a group's process and the parent: one line per event on the child's standard
// output, flushed at once so that nothing is lost when the plug-in kills the process, and what the
// parent reads back from them. Lines without the prefix (a plug-in's own prints) are ignored.
#include "host/check/check_result.h"
#include "host/core/picture.h"

#include <string>
#include <utility>
#include <vector>

namespace ffglhost
{
void EmitBegin( const std::string& check );
void EmitCall( const char* call, const std::string& detail );
// "result STATUS NAME RAN MICROSECONDS COUNT REASON": the fields first, the reason (any text) last.
void EmitResult( const CheckResult& result );
void EmitTime( const char* kind, double milliseconds );
void EmitLog( const std::string& text );
// A file written for a check (its pictures), named relative to the artifact folder.
void EmitArtifact( const std::string& check, const std::string& file );
// A picture drawn, for the parent to compare (the repeatability probe's): "picture W H HEX".
void EmitPicture( const Picture& picture );
void EmitEnd();
// The run cannot be carried out here (no GL context, the plug-in file not loadable as a library): said
// before the result of the check that found it; the parent runs no further group.
void EmitCannotRun( const std::string& reason );
// A file the group could not write (a check's picture): its verdict stands, the run's exit says so.
void EmitUnwritten( const std::string& reason );
// A call that has not returned after the limit: said, then the process ends with kExitHung.
void EmitHungAndExit( int seconds );
const int kExitHung = 3;
// Seconds since the last line: how long the plug-in has been in its current call.
double SecondsSinceLastLine();

// What the parent reads from one group's output.
struct GroupOutcome
{
	std::vector< CheckResult > results;
	std::vector< std::pair< std::string, double > > times;
	std::vector< std::string > logLines;
	std::vector< std::pair< std::string, std::string > > artifacts; // check, file
	std::vector< Picture > pictures;
	std::string currentCheck;             // begun and not yet reported
	std::string lastCall;                 // "FF_PROCESS_OPENGL (frame 3 of 320x180)"
	bool ended    = false;                // the group ran to its end
	int hungAfter = 0;                    // seconds a call took before the group gave up on it; 0: none did
	bool heard    = false;                // any line of ours came at all
	std::string cannotRun;                // why the run cannot be carried out; empty: it can
	std::vector< std::string > unwritten; // files it could not write, with the reason
};
// Adds one line of a group's output; true when it was a check's result (outcome->results.back()). A
// check that fails after the group said the run cannot be carried out counts as not run.
bool ReadGroupLine( const std::string& line, GroupOutcome* outcome );
GroupOutcome ParseGroupOutput( const std::string& output );
}
