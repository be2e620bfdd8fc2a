#include "nvidia/library_search.h"

#include <cstdio>
#include <cstring>

namespace nvidia
{
bool IsUseAppPath( const char* variable, char* buffer )
{
	uint32_t length = platform::ReadEnvironment( variable, buffer, kPathChars );
	// The buffer is written only when the value fits.
	return length > 0 && length < kPathChars && std::strcmp( buffer, "USE_APP_PATH" ) == 0;
}

bool ProgramFilesFolder( const char* folder, char* value, char* directory )
{
	uint32_t length = platform::ReadEnvironment( "ProgramFiles", value, kPathChars );
	if( length >= kPathChars )
		return false;
	if( length == 0 )
		value[ 0 ] = 0;
	int written = std::snprintf( directory, kPathChars, "%s\\NVIDIA Corporation\\%s\\", value, folder );
	return written >= 0 && static_cast< uint32_t >( written ) < kPathChars;
}
}
