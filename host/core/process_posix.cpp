#include "host/core/process.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ffglhost
{
void SetEnvironmentValue( const char* name, const char* value )
{
	if( value )
		setenv( name, value, 1 );
	else
		unsetenv( name );
}

std::string ExecutablePath()
{
	char path[ PATH_MAX ] = {};
	const ssize_t length  = readlink( "/proc/self/exe", path, sizeof( path ) - 1 );
	return length > 0 ? std::string( path, static_cast< size_t >( length ) ) : std::string();
}

bool IsTerminal( FILE* stream )
{
	return isatty( fileno( stream ) ) != 0;
}

// One argument for sh -c: single-quoted, inner quotes closed, escaped and reopened.
static std::string Quote( const std::string& text )
{
	std::string quoted = "'";
	for( char c : text )
		quoted += c == '\'' ? std::string( "'\\''" ) : std::string( 1, c );
	return quoted + "'";
}

bool StartChildProcess( const std::vector< std::string >& arguments, ChildProcess* child, std::string* error )
{
	std::string command;
	for( const std::string& argument : arguments )
		command += ( command.empty() ? "" : " " ) + Quote( argument );
	child->output = popen( command.c_str(), "r" );
	if( !child->output )
		*error = std::strerror( errno );
	return child->output != nullptr;
}

void EndChildProcess( ChildProcess& child, ProcessResult* result )
{
	const int status = pclose( child.output );
	child.output     = nullptr;
	// sh reports a child killed by signal n as exit status 128 + n.
	if( WIFSIGNALED( status ) || ( WIFEXITED( status ) && WEXITSTATUS( status ) > 128 ) )
	{
		const int signal = WIFSIGNALED( status ) ? WTERMSIG( status ) : WEXITSTATUS( status ) - 128;
		result->crashed  = true;
		result->crash    = "signal " + std::to_string( signal ) + " (" + strsignal( signal ) + ")";
	}
	result->exitCode = WIFEXITED( status ) ? WEXITSTATUS( status ) : -1;
}

long ResidentBytes()
{
	FILE* file = std::fopen( "/proc/self/statm", "r" );
	if( !file )
		return -1;
	long pages = 0, resident = 0;
	const int read = std::fscanf( file, "%ld %ld", &pages, &resident );
	std::fclose( file );
	return read == 2 ? resident * sysconf( _SC_PAGESIZE ) : -1;
}

// Entries of a /proc folder, "." and ".." left out.
static int CountEntries( const char* folder )
{
	DIR* directory = opendir( folder );
	if( !directory )
		return -1;
	int count = 0;
	while( const dirent* entry = readdir( directory ) )
		if( std::strcmp( entry->d_name, "." ) != 0 && std::strcmp( entry->d_name, ".." ) != 0 )
			++count;
	closedir( directory );
	return count;
}

int ThreadCount()
{
	return CountEntries( "/proc/self/task" );
}

int OpenHandleCount()
{
	// The folder being read holds one descriptor of its own.
	const int count = CountEntries( "/proc/self/fd" );
	return count > 0 ? count - 1 : count;
}
}
