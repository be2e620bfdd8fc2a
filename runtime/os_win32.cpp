#include "runtime/os.h"

// Header-only: the runtime words Windows' errors as the host does and links nothing of it.
#include "host/core/windows_error.h"

#include <cstdio>
#include <cstring>
#include <windows.h>

namespace refrt
{
const char* const kInferenceLibraryFile = "onnxruntime.dll";

namespace
{
bool Is( const char* path, bool folder )
{
	if( !path || !*path )
		return false;
	const DWORD attributes = GetFileAttributesA( path );
	return attributes != INVALID_FILE_ATTRIBUTES && ( ( attributes & FILE_ATTRIBUTE_DIRECTORY ) != 0 ) == folder;
}

// folder\file; false when it does not fit.
bool Join( const char* folder, const char* file, char ( &path )[ MAX_PATH * 4 ] )
{
	if( !folder || !*folder )
		return false;
	const int written = std::snprintf( path, sizeof( path ), "%s\\%s", folder, file );
	return written > 0 && static_cast< size_t >( written ) < sizeof( path );
}
}

bool ModelFolderExists( const char* path )
{
	return Is( path, true );
}

bool ModelFileExists( const char* folder, const char* file )
{
	char path[ MAX_PATH * 4 ];
	return Join( folder, file, path ) && Is( path, false );
}

bool InferencePath( const char* folder, const char* file, void* buffer, size_t bytes )
{
	char path[ MAX_PATH * 4 ];
	if( !Join( folder, file, path ) )
		return false;
	// The ANSI code page: the folder came as the plug-in's ANSI text.
	const int chars = MultiByteToWideChar( CP_ACP, 0, path, -1, static_cast< wchar_t* >( buffer ),
	                                       static_cast< int >( bytes / sizeof( wchar_t ) ) );
	return chars > 0;
}

bool ReadVariable( const char* name, char* buffer, unsigned size )
{
	buffer[ 0 ]   = 0;
	const DWORD n = GetEnvironmentVariableA( name, buffer, size );
	if( n == 0 || n >= size )
	{
		buffer[ 0 ] = 0;
		return false;
	}
	return true;
}

void* LoadLibraryBesideSelf( const char* file, std::string* error )
{
	HMODULE self = nullptr;
	char path[ MAX_PATH * 4 ];
	const DWORD flags  = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
	const DWORD length = GetModuleHandleExA( flags, reinterpret_cast< LPCSTR >( &LoadLibraryBesideSelf ), &self )
	                         ? GetModuleFileNameA( self, path, sizeof( path ) )
	                         : 0;
	char* slash        = length > 0 && length < sizeof( path ) ? std::strrchr( path, '\\' ) : nullptr;
	if( !slash || static_cast< size_t >( slash + 1 - path ) + std::strlen( file ) >= sizeof( path ) )
	{
		*error = "cannot find the runtime's own folder";
		return nullptr;
	}
	std::memcpy( slash + 1, file, std::strlen( file ) + 1 );
	// Its own dependencies are looked for beside it first.
	HMODULE library = LoadLibraryExA( path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH );
	if( !library )
	{
		const DWORD code = GetLastError();
		*error           = "cannot load " + std::string( path ) + ": " + ffglhost::WindowsErrorText( code );
	}
	return reinterpret_cast< void* >( library );
}

void* LibraryExport( void* library, const char* name )
{
	return reinterpret_cast< void* >( GetProcAddress( static_cast< HMODULE >( library ), name ) );
}
}
