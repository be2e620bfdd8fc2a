#pragma once
// Libraries loaded at run time the way a host loads a plug-in (dlopen with RTLD_NOW | RTLD_LOCAL,
// LoadLibraryA), for ffglhost and the tests alike. dynamic_library_posix.cpp and
// dynamic_library_win32.cpp hold the two implementations.
#include <string>

namespace ffglhost
{
// Loads a library file; null on failure, with "cannot load PATH: " and the loader's own reason in *error.
void* LoadDynamicLibrary( const std::string& path, std::string* error );
void UnloadDynamicLibrary( void* library );
// The export of that name, or null.
void* DynamicLibrarySymbol( void* library, const char* name );

template< typename Fn >
Fn DynamicLibraryFunction( void* library, const char* name )
{
	return reinterpret_cast< Fn >( DynamicLibrarySymbol( library, name ) );
}

// The library with that bare file name if the process has loaded it already (never a new load), else null.
void* FindLoadedLibrary( const char* fileName );
// The full path from which the library with that bare file name was loaded; empty when it is not loaded.
std::string LoadedLibraryPath( const char* fileName );

// The platform's file name of a library: "X" gives "libX.so" on Linux and "X.dll" on Windows.
std::string DynamicLibraryFileName( const std::string& name );
}
