#include "host/core/dynamic_library.h"

#include "host/core/windows_error.h"

#include <windows.h>

namespace ffglhost
{
void* LoadDynamicLibrary( const std::string& path, std::string* error )
{
	HMODULE module = LoadLibraryA( path.c_str() );
	if( !module )
	{
		const DWORD code = GetLastError();
		*error           = "cannot load " + path + ": " + WindowsErrorText( code );
	}
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
