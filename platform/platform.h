#pragma once
// The five kernel services the plug-in uses, behind one header: the Windows functions themselves
// in platform_win32.cpp, the same contract on POSIX in platform_posix.cpp.
#include <cstdint>

namespace platform
{
// GetEnvironmentVariableA's rules: unset or empty gives 0; a value of n characters that fits
// (n < size) is copied with its terminator and gives n; one that does not fit gives n + 1 and
// leaves the buffer as it was.
uint32_t ReadEnvironment( const char* name, char* buffer, uint32_t size );

// SetDllDirectoryA: the folder searched first by later loads; null clears it.
bool SetLibraryDirectory( const char* path );

// LoadLibraryA of a "X.dll" name (on POSIX the file libX.so, in the library directory first, then
// by the dynamic loader's own search). Null when not found. Never unloaded.
void* LoadLibraryFile( const char* name );

// GetProcAddress: the export of that name, or null.
void* FindExport( void* library, const char* name );

// OutputDebugStringA; nothing where the platform has no debug output.
void WriteDebugOutput( const char* text );
}
