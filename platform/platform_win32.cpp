#include "platform/platform.h"

#include <windows.h>

namespace platform
{
uint32_t ReadEnvironment( const char* name, char* buffer, uint32_t size )
{
	return GetEnvironmentVariableA( name, buffer, size );
}

bool SetLibraryDirectory( const char* path )
{
	return SetDllDirectoryA( path ) != 0;
}

void* LoadLibraryFile( const char* name )
{
	return reinterpret_cast< void* >( LoadLibraryA( name ) );
}

void* FindExport( void* library, const char* name )
{
	return reinterpret_cast< void* >( GetProcAddress( static_cast< HMODULE >( library ), name ) );
}

void WriteDebugOutput( const char* text )
{
	OutputDebugStringA( text );
}
}
