#include "platform/platform.h"

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <string>

namespace platform
{
// The process-wide library directory, as SetDllDirectoryA keeps it.
static std::string libraryDirectory;
static bool hasLibraryDirectory = false;

uint32_t ReadEnvironment( const char* name, char* buffer, uint32_t size )
{
	const char* value = std::getenv( name );
	if( !value || !*value )
		return 0;
	size_t n = std::strlen( value );
	if( n >= size )
		return static_cast< uint32_t >( n + 1 );
	std::memcpy( buffer, value, n + 1 );
	return static_cast< uint32_t >( n );
}

bool SetLibraryDirectory( const char* path )
{
	hasLibraryDirectory = path != nullptr;
	libraryDirectory    = path ? path : "";
	return true;
}

// "X.dll" -> "libX.so"; any other name is taken as it is.
static std::string PosixFileName( const char* name )
{
	std::string file( name );
	const std::string dll = ".dll";
	if( file.size() > dll.size() && file.compare( file.size() - dll.size(), dll.size(), dll ) == 0 )
		file = "lib" + file.substr( 0, file.size() - dll.size() ) + ".so";
	return file;
}

void* LoadLibraryFile( const char* name )
{
	if( !name )
		return nullptr;
	std::string file = PosixFileName( name );
	if( hasLibraryDirectory && !libraryDirectory.empty() )
	{
		std::string path = libraryDirectory;
		for( char& c : path )
			if( c == '\\' )
				c = '/';
		if( path.back() != '/' )
			path += '/';
		if( void* library = dlopen( ( path + file ).c_str(), RTLD_NOW | RTLD_LOCAL ) )
			return library;
	}
	return dlopen( file.c_str(), RTLD_NOW | RTLD_LOCAL );
}

void* FindExport( void* library, const char* name )
{
	return library ? dlsym( library, name ) : nullptr;
}

void WriteDebugOutput( const char* )
{
	// No debug output channel on POSIX; the debug line also goes to standard output.
}
}
