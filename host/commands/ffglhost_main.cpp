// ffglhost: a headless FFGL 2.x host. "info" shows what a plug-in is; "run" drives frames through it;
// "check" validates it against what real hosts do; "help" and "version" say what it is.
#include "host/commands/command_line.h"
#include "host/commands/commands.h"
#include "host/core/process.h"

#include <cstdio>
#include <exception>
#include <new>

int main( int argc, char** argv )
{
	using namespace ffglhost;
	try
	{
		CommandLine line;
		std::string error;
		if( !ParseCommandLine( argc, argv, &line, &error ) )
		{
			PrintError( error );
			std::fprintf( stderr, "(ffglhost --help shows the usage)\n" );
			return kExitUsage;
		}
		if( line.command == "help" || line.command == "version" )
		{
			std::printf( "%s", ( line.command == "help" ? HelpText( line.helpTopic ) : VersionText() + "\n" ).c_str() );
			return kExitOk;
		}
		for( const auto& variable : line.environment )
			SetEnvironmentValue( variable.first.c_str(), variable.second.c_str() );
		return RunParsedCommand( line );
	}
	catch( const std::bad_alloc& )
	{
		PrintError( "out of memory (is the frame size too large for this machine?)" );
	}
	catch( const std::exception& e )
	{
		PrintError( std::string( "unexpected failure: " ) + e.what() );
	}
	return kExitCannotRun;
}
