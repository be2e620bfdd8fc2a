#include "runtime/model_folder.h"

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace refrt
{
bool ModelFolderExists( const char* path )
{
	if( !path || !*path )
		return false;
#ifdef _WIN32
	DWORD attributes = GetFileAttributesA( path );
	return attributes != INVALID_FILE_ATTRIBUTES && ( attributes & FILE_ATTRIBUTE_DIRECTORY );
#else
	char native[ 4096 ];
	size_t length = std::strlen( path );
	if( length >= sizeof( native ) )
		return false;
	for( size_t i = 0; i <= length; ++i )
		native[ i ] = path[ i ] == '\\' ? '/' : path[ i ];
	struct stat info;
	return stat( native, &info ) == 0 && S_ISDIR( info.st_mode );
#endif
}
}
