#pragma once
// ffglhost's command line: "info PLUGIN", "run PLUGIN [options]" and "check PLUGIN [options]", parsed
// into plain values.
#include <string>
#include <utility>
#include <vector>

namespace ffglhost
{
struct CommandLine
{
	std::string command; // "info", "run", "check", "check-group" (one group of a check) or "help"
	std::string plugin;
	// run: input
	std::string inputPath;               // a PNG file or a folder; empty: the scene
	std::string scene = "presenter";     // or "photo"
	std::string photoPath;               // the photo scene's photograph
	bool still = false;                  // the photo scene without camera motion
	int width         = 1920;
	int height        = 1080;
	bool sizeGiven    = false;
	int frames        = 0;               // 0: the input's natural count
	std::vector< std::pair< std::string, std::string > > settings; // --set NAME=VALUE, in order
	// run: output
	std::string outDirectory;
	std::string sheetPath;
	bool progress = true;
	// run --bench: the same frames with the runtime present and absent, alternating processes
	bool bench      = false;
	bool benchChild = false; // one such process: times only, no output read back
	// run --bench --versus NAME=VALUE: the user's runtime as it is against the same with these set
	std::vector< std::pair< std::string, std::string > > versus;
	// check: how much work, the seed of every random choice (run: of the photo scene's camera and noise), where the JSON goes, which groups
	int strictness          = 5;
	unsigned long long seed = 0;
	bool seedGiven          = false;
	std::string jsonPath;
	std::vector< std::string > groups; // empty: all
	int callTimeout = 60;              // seconds one call may take before its group counts as hung
	// all: variables set in our own environment before the plug-in loads
	std::vector< std::pair< std::string, std::string > > environment;
};

// False with *error (a message for the user) on anything that is not a valid command line.
bool ParseCommandLine( int argc, const char* const* argv, CommandLine* line, std::string* error );

// "WxH" with both numbers from 1 to 1000000; false otherwise.
bool ParseSize( const std::string& text, int* w, int* h );
// A decimal number, the whole text, finite.
bool ParseNumber( const std::string& text, float* value );
// A whole decimal number from 0 to 2^64 - 1.
bool ParseSeed( const std::string& text, unsigned long long* seed );
// "NAME=VALUE" with a non-empty name; the value may be empty.
bool ParseAssignment( const std::string& text, std::string* name, std::string* value );

const char* UsageText();
}
