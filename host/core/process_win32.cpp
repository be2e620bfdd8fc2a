#include "host/core/process.h"

#include "host/core/windows_error.h"

// windows.h first: psapi.h and tlhelp32.h build on its types.
#include <windows.h>

#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#include <psapi.h>
#include <tlhelp32.h>
#include <vector>

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

// One argument of a command line as the C runtime splits it: double-quoted, inner quotes escaped, and
// the backslashes before a quote (the closing one included) doubled.
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

// Started directly, not through cmd /c (what _popen does): cmd expands %NAME% inside quotes, and
// Wine's cmd now and then refused to find a program that was there.
bool StartChildProcess( const std::vector< std::string >& arguments, ChildProcess* child, std::string* error )
{
	std::string command;
	for( const std::string& argument : arguments )
		command += ( command.empty() ? "" : " " ) + Quote( argument );
	SECURITY_ATTRIBUTES inheritable = { sizeof( inheritable ), nullptr, TRUE };
	HANDLE readEnd                  = nullptr;
	HANDLE writeEnd                 = nullptr;
	if( !CreatePipe( &readEnd, &writeEnd, &inheritable, 0 ) )
	{
		*error = "CreatePipe failed: " + WindowsErrorText( GetLastError() );
		return false;
	}
	// Only the child's end goes to the child.
	SetHandleInformation( readEnd, HANDLE_FLAG_INHERIT, 0 );
	STARTUPINFOA startup        = {};
	startup.cb                  = sizeof( startup );
	startup.dwFlags             = STARTF_USESTDHANDLES;
	startup.hStdInput           = GetStdHandle( STD_INPUT_HANDLE );
	startup.hStdOutput          = writeEnd;
	startup.hStdError           = GetStdHandle( STD_ERROR_HANDLE );
	PROCESS_INFORMATION process = {};
	std::vector< char > line( command.begin(), command.end() );
	line.push_back( '\0' );
	const BOOL started =
	    CreateProcessA( nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process );
	const DWORD startError = GetLastError();
	// Ours closed, so that reading ends when the child's end closes.
	CloseHandle( writeEnd );
	if( !started )
	{
		CloseHandle( readEnd );
		*error = WindowsErrorText( startError );
		return false;
	}
	CloseHandle( process.hThread );
	const int descriptor = _open_osfhandle( reinterpret_cast< intptr_t >( readEnd ), _O_RDONLY | _O_BINARY );
	child->output        = descriptor >= 0 ? _fdopen( descriptor, "rb" ) : nullptr;
	child->process       = process.hProcess;
	if( !child->output )
	{
		// Nobody would read it: end it rather than leave it blocked on a full pipe.
		if( descriptor >= 0 )
			_close( descriptor );
		else
			CloseHandle( readEnd );
		TerminateProcess( process.hProcess, 1 );
		WaitForSingleObject( process.hProcess, INFINITE );
		CloseHandle( process.hProcess );
		child->process = nullptr;
		*error         = "its output could not be read";
		return false;
	}
	return true;
}

void EndChildProcess( ChildProcess& child, ProcessResult* result )
{
	std::fclose( child.output );
	child.output = nullptr;
	DWORD code   = 0;
	WaitForSingleObject( child.process, INFINITE );
	GetExitCodeProcess( child.process, &code );
	CloseHandle( child.process );
	child.process = nullptr;
	// An unhandled exception ends a process with its NTSTATUS code, 0xC0000005 and the like.
	if( code >= 0xC0000000u )
	{
		char text[ 32 ];
		std::snprintf( text, sizeof( text ), "exception 0x%08x", static_cast< unsigned >( code ) );
		result->crashed = true;
		result->crash   = text;
	}
	result->exitCode = static_cast< int >( code );
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
