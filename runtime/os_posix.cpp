#include "runtime/os.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <sys/stat.h>

namespace refrt
{
const char* const kInferenceLibraryFile = "libonnxruntime.so.1";

namespace
{
const size_t kPathChars = 4096;

// folder/file (file may be null) with '\' read as '/'; false when it does not fit.
bool NativePath( const char* folder, const char* file, char ( &native )[ kPathChars ] )
{
	if( !folder || !*folder )
		return false;
	const size_t length = std::strlen( folder );
	const size_t extra  = file ? std::strlen( file ) + 1 : 0;
	if( length + extra >= kPathChars )
		return false;
	for( size_t i = 0; i <= length; ++i )
		native[ i ] = folder[ i ] == '\\' ? '/' : folder[ i ];
	if( file )
	{
		native[ length ] = '/';
		std::memcpy( native + length + 1, file, extra );
	}
	return true;
}

bool Is( const char* folder, const char* file, mode_t type )
{
	char native[ kPathChars ];
	struct stat info;
	return NativePath( folder, file, native ) && stat( native, &info ) == 0 && ( info.st_mode & S_IFMT ) == type;
}
}

bool ModelFolderExists( const char* path )
{
	return Is( path, nullptr, S_IFDIR );
}

bool ModelFileExists( const char* folder, const char* file )
{
	return Is( folder, file, S_IFREG );
}

bool InferencePath( const char* folder, const char* file, void* buffer, size_t bytes )
{
	char native[ kPathChars ];
	if( !NativePath( folder, file, native ) || std::strlen( native ) >= bytes )
		return false;
	std::memcpy( buffer, native, std::strlen( native ) + 1 );
	return true;
}

bool ReadVariable( const char* name, char* buffer, unsigned size )
{
	buffer[ 0 ]       = 0;
	const char* value = std::getenv( name );
	if( !value || !*value || std::strlen( value ) >= size )
		return false;
	std::memcpy( buffer, value, std::strlen( value ) + 1 );
	return true;
}

void* LoadLibraryBesideSelf( const char* file, std::string* error )
{
	Dl_info self = {};
	if( !dladdr( reinterpret_cast< void* >( &LoadLibraryBesideSelf ), &self ) || !self.dli_fname )
	{
		*error = "cannot find the runtime's own folder";
		return nullptr;
	}
	char path[ kPathChars ];
	const char* slash      = std::strrchr( self.dli_fname, '/' );
	const int folderLength = slash ? static_cast< int >( slash - self.dli_fname ) : 1;
	const int written =
	    std::snprintf( path, sizeof( path ), "%.*s/%s", folderLength, slash ? self.dli_fname : ".", file );
	if( written < 0 || static_cast< size_t >( written ) >= sizeof( path ) )
	{
		*error = "cannot load " + std::string( file ) + ": the runtime's folder is too long a path";
		return nullptr;
	}
	void* library = dlopen( path, RTLD_NOW | RTLD_LOCAL );
	if( !library )
	{
		// dlerror names the file first ("PATH: invalid ELF header"): the sentence names it once.
		const char* text         = dlerror();
		const std::string prefix = std::string( path ) + ": ";
		std::string reason       = text ? text : "dlopen failed";
		if( reason.compare( 0, prefix.size(), prefix ) == 0 )
			reason.erase( 0, prefix.size() );
		*error = "cannot load " + std::string( path ) + ": " + reason;
	}
	return library;
}

void* LibraryExport( void* library, const char* name )
{
	return dlsym( library, name );
}
}
