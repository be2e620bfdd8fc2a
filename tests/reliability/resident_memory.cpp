#include "tests/reliability/resident_memory.h"

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#else
#include <cstdio>
#include <unistd.h>
#endif

long ResidentBytes()
{
#ifdef _WIN32
	PROCESS_MEMORY_COUNTERS counters = {};
	if( !K32GetProcessMemoryInfo( GetCurrentProcess(), &counters, sizeof( counters ) ) )
		return 0;
	return static_cast< long >( counters.WorkingSetSize );
#else
	std::FILE* file = std::fopen( "/proc/self/statm", "r" );
	if( !file )
		return 0;
	long pages = 0, resident = 0;
	const int read = std::fscanf( file, "%ld %ld", &pages, &resident );
	std::fclose( file );
	return read == 2 ? resident * sysconf( _SC_PAGESIZE ) : 0;
#endif
}
