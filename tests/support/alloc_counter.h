#pragma once
// A counting allocator for this test process (Linux, glibc): the process's malloc family is replaced
// by forwarders to glibc's own, and each allocation made on the armed thread is put down to the module
// that asked for it. The asker is the first caller on the stack outside the C and C++ runtimes and this
// executable, so `new` inside libstdc++ counts for whoever called it, and a GL driver's own
// allocations inside a GL call count for the driver, not for the plug-in that made the call.
#include <cstddef>
#include <string>
#include <vector>

namespace alloccount
{
struct Counts
{
	size_t watched = 0; // asked for by a watched library
	size_t others  = 0; // asked for by anything else (GL driver, its compiled shaders)
};

// Notes the address ranges of every loaded library now; those whose file name ends in one of
// watchedNames are watched. Call again after more libraries have loaded. False when a table is full.
bool MapModules( const std::vector< std::string >& watchedNames );

// Counting on the calling thread only, between Arm (which clears the counts) or Resume and Disarm.
void Arm();
void Resume();
void Disarm();
Counts Read();

// The first watched allocation's caller since Arm, as "library: symbol+offset", or empty.
std::string FirstWatchedCaller();
}
