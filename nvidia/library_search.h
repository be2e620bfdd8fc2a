#pragma once
// What the two library loaders share: the fixed-size texts of one search, the "USE_APP_PATH"
// test, the folders under ProgramFiles, and the one-time lookup of an export.
#include "platform/platform.h"

#include <cstdint>

namespace nvidia
{
// Windows' path limit, terminator included: the size of every text of a search.
constexpr uint32_t kPathChars = 260;

// True when the variable holds exactly "USE_APP_PATH" (case-sensitive, whole text). buffer has
// kPathChars characters; a value that does not fit is not "USE_APP_PATH".
bool IsUseAppPath( const char* variable, char* buffer );

// "<ProgramFiles>\NVIDIA Corporation\<folder>\" into directory (kPathChars characters), using
// value (kPathChars characters) for the variable. An unset ProgramFiles reads as the empty text.
// False, with nothing to use, when the value or the composed text does not fit: never cut.
bool ProgramFilesFolder( const char* folder, char* value, char* directory );

// The export of that name as a function pointer, or null for a missing library or export.
template< typename Fn >
Fn ResolveExport( void* library, const char* name )
{
	return library ? reinterpret_cast< Fn >( platform::FindExport( library, name ) ) : nullptr;
}
}
