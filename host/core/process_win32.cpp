#include "host/core/process.h"

// windows.h first: psapi.h and tlhelp32.h build on its types.
#include <windows.h>

#include <cstdlib>
#include <io.h>
#include <psapi.h>
#include <tlhelp32.h>

namespace ffglhost
{
void SetEnvironmentValue( const char* name, const char* value )
{
	// Both tables: the process block the Win32 call reads and the C runtime's copy.
	SetEnvironmentVariableA( name, value );
	_putenv_s( name, value ? value : "" );
}

std::string ExecutablePath()
{
	char path[ MAX_PATH ] = {};
	const DWORD length    = GetModuleFileNameA( nullptr, path, MAX_PATH );
	return length > 0 && length < MAX_PATH ? std::string( path, length ) : std::string();
}

bool IsTerminal( FILE* stream )
{
	return _isatty( _fileno( stream ) ) != 0;
}

// One argument for cmd /c: double-quoted, inner quotes escaped, and the backslashes before a quote
// (the closing one included) doubled, as the C runtime reads them back.
static std::string Quote( const std::string& text )
{
	std::string quoted = "\"";
	size_t backslashes = 0;
	for( char c : text )
	{
		if( c == '"' )
			quoted += std::string( backslashes + 1, '\\' );
		backslashes = c == '\\' ? backslashes + 1 : 0;
		quoted += c;
	}
	return quoted + std::string( backslashes, '\\' ) + "\"";
}

FILE* OpenProcessPipe( const std::vector< std::string >& arguments )
{
	std::string command;
	for( const std::string& argument : arguments )
		command += ( command.empty() ? "" : " " ) + Quote( argument );
	// cmd /c drops the outer quotes of its command: give it a pair to drop.
	command = "\"" + command + "\"";
	return _popen( command.c_str(), "rb" );
}

void CloseProcessPipe( FILE* pipe, ProcessResult* result )
{
	const int status = _pclose( pipe );
	// An unhandled exception ends a process with its NTSTATUS code, 0xC0000005 and the like.
	const unsigned code = static_cast< unsigned >( status );
	if( code >= 0xC0000000u )
	{
		char text[ 32 ];
		std::snprintf( text, sizeof( text ), "exception 0x%08x", code );
		result->crashed = true;
		result->crash   = text;
	}
	result->exitCode = status;
}

long ResidentBytes()
{
	PROCESS_MEMORY_COUNTERS counters = {};
	if( !K32GetProcessMemoryInfo( GetCurrentProcess(), &counters, sizeof( counters ) ) )
		return -1;
	return static_cast< long >( counters.WorkingSetSize );
}

int ThreadCount()
{
	HANDLE snapshot = CreateToolhelp32Snapshot( TH32CS_SNAPTHREAD, 0 );
	if( snapshot == INVALID_HANDLE_VALUE )
		return -1;
	const DWORD self    = GetCurrentProcessId();
	int count           = 0;
	THREADENTRY32 entry = {};
	entry.dwSize        = sizeof( entry );
	for( BOOL more = Thread32First( snapshot, &entry ); more; more = Thread32Next( snapshot, &entry ) )
		if( entry.th32OwnerProcessID == self )
			++count;
	CloseHandle( snapshot );
	return count;
}

int OpenHandleCount()
{
	DWORD count = 0;
	return GetProcessHandleCount( GetCurrentProcess(), &count ) ? static_cast< int >( count ) : -1;
}
}
