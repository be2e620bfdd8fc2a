// run --bench. The plug-in's loaders find the NVIDIA runtime once per process, so "present" and
// "absent" cannot share one: each round is a process of this executable (run --bench-child), the
// two kinds alternating, and only the frames after each process's warm-up are timed.
#include "host/commands/commands.h"
#include "host/core/process.h"
#include "host/core/timing.h"

#include <cstdio>
#include <string>
#include <vector>

namespace ffglhost
{
namespace
{
const int kRounds       = 3;  // processes of each kind
const int kWarmupFrames = 10; // set-up frame, first read-back, caches: not timed
const int kTimedFrames  = 60; // per process, unless --frames says otherwise

struct Kind
{
	std::string name;                                                 // in the log lines and errors
	std::string label;                                                // in the result line
	std::vector< std::pair< std::string, std::string > > environment; // after the user's: these win
	FrameTimes times;
	std::vector< std::string > log; // of its first process
};

// The two kinds a round compares. By default: present, the runtime where the user's --env puts it with
// a fixed matte, against absent, a ProgramFiles and model folder that hold no runtime (the set-up fails
// and every frame passes through). With --versus: the runtime as the user's --env lays it out against
// the same with the --versus variables.
void PlanKinds( const CommandLine& line, Kind& first, Kind& second )
{
	if( line.run.versus.empty() )
	{
		first  = { "runtime present", "runtime present (REFRT_MATTE=255)", { { "REFRT_MATTE", "255" } }, {}, {} };
		second = { "runtime absent",
			       "absent (pass-through)",
			       { { "ProgramFiles", "ffglhost-bench-no-runtime" },
			         { "NV_VIDEO_EFFECTS_PATH", "ffglhost-bench-no-runtime" } },
			       {},
			       {} };
		return;
	}
	std::string versus;
	for( const auto& variable : line.run.versus )
		versus += ( versus.empty() ? "" : ", " ) + variable.first + "=" + variable.second;
	first  = { "as laid out", "as laid out", {}, {}, {} };
	second = { "with " + versus, "with " + versus, line.run.versus, {}, {} };
}

std::vector< std::string > ChildArguments( const CommandLine& line, const std::string& self, int w, int h, int frames,
                                           const Kind& kind )
{
	std::vector< std::string > arguments = { self,        "run",
		                                     line.plugin, "--bench-child",
		                                     "--frames",  std::to_string( kWarmupFrames + frames ) };
	if( line.run.inputPath.empty() )
		arguments.insert( arguments.end(), { "--size", std::to_string( w ) + "x" + std::to_string( h ) } );
	else
		arguments.insert( arguments.end(), { "--input", line.run.inputPath } );
	if( line.run.scene == "photo" )
		arguments.insert( arguments.end(),
		                  { "--scene", "photo:" + line.run.photoPath, "--seed", std::to_string( line.run.seed ) } );
	if( line.run.still )
		arguments.push_back( "--still" );
	for( const auto& setting : line.run.settings )
		arguments.insert( arguments.end(), { "--set", setting.first + "=" + setting.second } );
	for( const auto& variable : line.environment )
		arguments.insert( arguments.end(), { "--env", variable.first + "=" + variable.second } );
	for( const auto& variable : kind.environment )
		arguments.insert( arguments.end(), { "--env", variable.first + "=" + variable.second } );
	return arguments;
}

// Runs one process; its timed frames go to kind.times. kExitOk, or the exit code of its failure (a
// round's own, when it said one) with *error.
int RunChild( const std::vector< std::string >& arguments, Kind& kind, bool keepLog, std::string* error )
{
	const ProcessResult child = RunProcess( arguments );
	if( !child.started )
	{
		*error = "cannot start " + arguments[ 0 ] + ": " + child.failure;
		return kExitCannotRun;
	}
	bool timesSeen = false;
	for( const std::string& text : OutputLines( child.output ) )
	{
		if( text.compare( 0, 12, "bench-times " ) == 0 )
		{
			timesSeen = true;
			int index = 0;
			for( size_t at = 12; at < text.size(); ++index )
			{
				size_t next = text.find( ' ', at );
				if( next == std::string::npos )
					next = text.size();
				if( index >= kWarmupFrames )
					kind.times.Add( std::stod( text.substr( at, next - at ) ) / 1000.0 );
				at = next + 1;
			}
		}
		else if( keepLog && text.compare( 0, 10, "bench-log " ) == 0 )
		{
			kind.log.push_back( text.substr( 10 ) );
		}
	}
	if( child.exitCode != 0 || child.crashed || !timesSeen )
	{
		std::string command;
		for( const std::string& argument : arguments )
			command += ( command.empty() ? "" : " " ) + argument;
		*error = "the " + kind.name + " run failed (" +
		         ( child.crashed ? child.crash : "exit status " + std::to_string( child.exitCode ) ) + "): " + command;
		return !child.crashed && child.exitCode == kExitCannotRun ? kExitCannotRun : kExitFailed;
	}
	return kExitOk;
}
}

int BenchCommand( const CommandLine& line )
{
	const std::string self = ExecutablePath();
	if( self.empty() )
	{
		PrintError( "cannot find ffglhost's own executable to run the bench rounds" );
		return kExitCannotRun;
	}
	const int frames = line.run.frames > 0 ? line.run.frames : kTimedFrames;
	std::vector< std::pair< int, int > > sizes;
	if( line.run.sizeGiven || !line.run.inputPath.empty() )
		sizes.emplace_back( line.run.width, line.run.height );
	else
		sizes = { { 1920, 1080 }, { 1280, 720 } };

	std::printf( "ffglhost: bench of %s, %d frames timed per process after %d warm-up frames, %d processes each way, "
	             "alternating\n",
	             line.plugin.c_str(), frames, kWarmupFrames, kRounds );
	for( const auto& size : sizes )
	{
		Kind present, absent;
		PlanKinds( line, present, absent );
		std::string error;
		for( int round = 0; round < kRounds; ++round )
		{
			for( Kind* kind : { &present, &absent } )
			{
				const int ended = RunChild( ChildArguments( line, self, size.first, size.second, frames, *kind ), *kind,
				                            round == 0, &error );
				if( ended != kExitOk )
				{
					PrintError( error );
					return ended;
				}
			}
		}
		const double presentMs  = present.times.Summarise().medianMs;
		const double absentMs   = absent.times.Summarise().medianMs;
		const std::string input = line.run.inputPath.empty()
		                              ? std::to_string( size.first ) + "x" + std::to_string( size.second )
		                              : line.run.inputPath;
		std::printf( "%s: %s median %.3f ms, %s median %.3f ms, %s %.2f\n", input.c_str(), present.label.c_str(),
		             presentMs, absent.label.c_str(), absentMs, line.run.versus.empty() ? "present / absent" : "ratio",
		             absentMs > 0.0 ? presentMs / absentMs : 0.0 );
		if( size == sizes.back() )
		{
			for( const Kind* kind : { &present, &absent } )
				for( const std::string& text : kind->log )
					std::printf( "plugin (%s): %s\n", kind->name.c_str(), text.c_str() );
		}
	}
	return kExitOk;
}
}
