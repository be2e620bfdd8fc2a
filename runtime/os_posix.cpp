#include "runtime/os.h"

#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace refrt
{
bool ModelFolderExists( const char* path )
{
	if( !path || !*path )
		return false;
	char native[ 4096 ];
	const size_t length = std::strlen( path );
	if( length >= sizeof( native ) )
		return false;
	for( size_t i = 0; i <= length; ++i )
		native[ i ] = path[ i ] == '\\' ? '/' : path[ i ];
	struct stat info;
	return stat( native, &info ) == 0 && S_ISDIR( info.st_mode );
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
}
