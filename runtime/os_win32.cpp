#include "runtime/os.h"

#include <windows.h>

namespace refrt
{
bool ModelFolderExists( const char* path )
{
	if( !path || !*path )
		return false;
	const DWORD attributes = GetFileAttributesA( path );
	return attributes != INVALID_FILE_ATTRIBUTES && ( attributes & FILE_ATTRIBUTE_DIRECTORY );
}

bool ReadVariable( const char* name, char* buffer, unsigned size )
{
	buffer[ 0 ]     = 0;
	const DWORD n   = GetEnvironmentVariableA( name, buffer, size );
	if( n == 0 || n >= size )
	{
		buffer[ 0 ] = 0;
		return false;
	}
	return true;
}
}
