#pragma once
// The runtime's test controls, read from the environment once as its library is loaded:
// REFRT_FAIL (exports whose calls fail), REFRT_MATTE (fixed matte value), REFRT_LOG (call log file).
namespace refrt
{
// Counts a call of that export; true when REFRT_FAIL says this call fails.
bool FailCall( const char* exportName );

// The REFRT_MATTE value (0..255), or -1 when the matte is keyed.
int MatteOverride();

// The REFRT_LOG file, or null when calls are not logged.
const char* LogPath();
}
