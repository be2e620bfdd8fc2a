#include "host/environment.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#endif

namespace ffglhost
{
void SetEnvironmentValue( const char* name, const char* value )
{
#ifdef _WIN32
	// Both tables: the process block the Win32 call reads and the C runtime's copy.
	SetEnvironmentVariableA( name, value );
	_putenv_s( name, value );
#else
	setenv( name, value, 1 );
#endif
}
}
