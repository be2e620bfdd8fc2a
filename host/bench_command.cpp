// run --bench. The plug-in's loaders find the NVIDIA runtime once per process, so "present" and
// "absent" cannot share one: each round is a process of this executable (run --bench-child), the
// two kinds alternating, and only the frames after each process's warm-up are timed.
#include "host/commands.h"
#include "host/timing.h"

#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#define popen _popen
#define pclose _pclose
#else
#include <climits>
#include <unistd.h>
#endif

namespace ffglhost
{
namespace
{
const int ROUNDS        = 3;  // processes of each kind
const int WARMUP_FRAMES = 10; // set-up frame, first read-back, caches: not timed
const int TIMED_FRAMES  = 60; // per process, unless --frames says otherwise

std::string ExecutablePath()
{
#ifdef _WIN32
	char path[ MAX_PATH ] = {};
	const DWORD length    = GetModuleFileNameA( nullptr, path, MAX_PATH );
	return length > 0 && length < MAX_PATH ? std::string( path, length ) : std::string();
#else
	char path[ PATH_MAX ] = {};
	const ssize_t length  = readlink( "/proc/self/exe", path, sizeof( path ) - 1 );
	return length > 0 ? std::string( path, static_cast< size_t >( length ) ) : std::string();
#endif
}

// One argument for the shell that popen starts (sh -c, or cmd /c on Windows).
std::string Quote( const std::string& text )
{
#ifdef _WIN32
	std::string quoted = "\"";
	for( char c : text )
		quoted += c == '"' ? std::string( "\\\"" ) : std::string( 1, c );
	return quoted + "\"";
#else
	std::string quoted = "'";
	for( char c : text )
		quoted += c == '\'' ? std::string( "'\\''" ) : std::string( 1, c );
	return quoted + "'";
#endif
}

struct Kind
{
	const char* name;
	std::vector< std::pair< std::string, std::string > > environment; // after the user's: these win
	FrameTimes times;
	std::vector< std::string > log; // of its first process
};

std::string ChildCommand( const CommandLine& line, const std::string& self, int w, int h, int frames, const Kind& kind )
{
	std::string command = Quote( self ) + " run " + Quote( line.plugin ) + " --bench-child --frames " +
	                      std::to_string( WARMUP_FRAMES + frames );
	if( line.inputPath.empty() )
		command += " --size " + std::to_string( w ) + "x" + std::to_string( h );
	else
		command += " --input " + Quote( line.inputPath );
	for( const auto& setting : line.settings )
		command += " --set " + Quote( setting.first + "=" + setting.second );
	for( const auto& variable : line.environment )
		command += " --env " + Quote( variable.first + "=" + variable.second );
	for( const auto& variable : kind.environment )
		command += " --env " + Quote( variable.first + "=" + variable.second );
#ifdef _WIN32
	// cmd /c drops the outer quotes of its command: give it a pair to drop.
	command = "\"" + command + "\"";
#endif
	return command;
}

// Runs one process; its timed frames go to kind.times. False with *error when it failed.
bool RunChild( const std::string& command, Kind& kind, bool keepLog, std::string* error )
{
	std::fflush( stdout );
	FILE* child = popen( command.c_str(), "r" );
	if( !child )
	{
		*error = "cannot start " + command;
		return false;
	}
	std::string output;
	char buffer[ 4096 ];
	while( std::fgets( buffer, sizeof( buffer ), child ) )
		output += buffer;
	const int status = pclose( child );
	bool timesSeen   = false;
	size_t start     = 0;
	while( start < output.size() )
	{
		size_t end = output.find( '\n', start );
		if( end == std::string::npos )
			end = output.size();
		std::string text = output.substr( start, end - start );
		if( !text.empty() && text.back() == '\r' )
			text.pop_back();
		start = end + 1;
		if( text.compare( 0, 12, "bench-times " ) == 0 )
		{
			timesSeen = true;
			int index = 0;
			for( size_t at = 12; at < text.size(); ++index )
			{
				size_t next = text.find( ' ', at );
				if( next == std::string::npos )
					next = text.size();
				if( index >= WARMUP_FRAMES )
					kind.times.Add( std::stod( text.substr( at, next - at ) ) / 1000.0 );
				at = next + 1;
			}
		}
		else if( keepLog && text.compare( 0, 10, "bench-log " ) == 0 )
		{
			kind.log.push_back( text.substr( 10 ) );
		}
	}
	if( status != 0 || !timesSeen )
	{
		*error = std::string( "the " ) + kind.name + " run failed (exit status " + std::to_string( status ) + "): " + command;
		return false;
	}
	return true;
}
}

int BenchCommand( const CommandLine& line )
{
	const std::string self = ExecutablePath();
	if( self.empty() )
	{
		PrintError( "cannot find ffglhost's own executable to run the bench rounds" );
		return EXIT_FAILED;
	}
	const int frames = line.frames > 0 ? line.frames : TIMED_FRAMES;
	std::vector< std::pair< int, int > > sizes;
	if( line.sizeGiven || !line.inputPath.empty() )
		sizes.emplace_back( line.width, line.height );
	else
		sizes = { { 1920, 1080 }, { 1280, 720 } };

	std::printf( "ffglhost: bench of %s, %d frames timed per process after %d warm-up frames, %d processes each way, alternating\n",
	             line.plugin.c_str(), frames, WARMUP_FRAMES, ROUNDS );
	for( const auto& size : sizes )
	{
		// Absent: a ProgramFiles and model folder that hold no runtime, so the set-up fails and every frame
		// passes through. Present: the runtime where the user's --env puts it, with a fixed matte.
		Kind present = { "runtime present", { { "REFRT_MATTE", "255" } }, {}, {} };
		Kind absent  = { "runtime absent", { { "ProgramFiles", "ffglhost-bench-no-runtime" },
		                                     { "NV_VIDEO_EFFECTS_PATH", "ffglhost-bench-no-runtime" } }, {}, {} };
		std::string error;
		for( int round = 0; round < ROUNDS; ++round )
		{
			for( Kind* kind : { &present, &absent } )
			{
				if( !RunChild( ChildCommand( line, self, size.first, size.second, frames, *kind ), *kind, round == 0, &error ) )
				{
					PrintError( error );
					return EXIT_FAILED;
				}
			}
		}
		const double presentMs = present.times.Summarise().medianMs;
		const double absentMs  = absent.times.Summarise().medianMs;
		const std::string input = line.inputPath.empty() ? std::to_string( size.first ) + "x" + std::to_string( size.second )
		                                                 : line.inputPath;
		std::printf( "%s: runtime present (REFRT_MATTE=255) median %.3f ms, absent (pass-through) median %.3f ms, "
		             "present / absent %.2f\n",
		             input.c_str(), presentMs, absentMs, absentMs > 0.0 ? presentMs / absentMs : 0.0 );
		if( size == sizes.back() )
		{
			for( const Kind* kind : { &present, &absent } )
				for( const std::string& text : kind->log )
					std::printf( "plugin (%s): %s\n", kind->name, text.c_str() );
		}
	}
	return EXIT_OK;
}
}
