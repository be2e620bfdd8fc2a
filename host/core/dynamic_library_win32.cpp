#include "host/core/dynamic_library.h"

#include <windows.h>

namespace ffglhost
{
// "Windows error 126: The specified module could not be found", without the trailing line end.
static std::string LastErrorText()
{
	char text[ 256 ] = {};
	const DWORD code = GetLastError();
	FormatMessageA( FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
	                sizeof( text ) - 1, nullptr );
	std::string message = "Windows error " + std::to_string( code ) + ( text[ 0 ] ? std::string( ": " ) + text : "" );
	while( !message.empty() && ( message.back() == '\n' || message.back() == '\r' || message.back() == ' ' ) )
		message.pop_back();
	return message;
}

void* LoadDynamicLibrary( const std::string& path, std::string* error )
{
	HMODULE module = LoadLibraryA( path.c_str() );
	if( !module && error )
		*error = LastErrorText();
	return reinterpret_cast< void* >( module );
}

void UnloadDynamicLibrary( void* library )
{
	if( library )
		FreeLibrary( static_cast< HMODULE >( library ) );
}

void* DynamicLibrarySymbol( void* library, const char* name )
{
	if( !library )
		return nullptr;
	return reinterpret_cast< void* >( GetProcAddress( static_cast< HMODULE >( library ), name ) );
}

void* FindLoadedLibrary( const char* fileName )
{
	return reinterpret_cast< void* >( GetModuleHandleA( fileName ) );
}

std::string LoadedLibraryPath( const char* fileName )
{
	HMODULE module = GetModuleHandleA( fileName );
	if( !module )
		return std::string();
	char path[ MAX_PATH ] = {};
	const DWORD length    = GetModuleFileNameA( module, path, MAX_PATH );
	return length > 0 && length < MAX_PATH ? std::string( path, length ) : std::string();
}

std::string DynamicLibraryFileName( const std::string& name )
{
	return name + ".dll";
}
}
