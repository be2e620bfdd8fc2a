#pragma once
// ffglhost's command line: "info PLUGIN", "run PLUGIN [options]" and "check PLUGIN [options]", parsed
// into plain values by one routine from the options each command declares beside itself.
#include "host/check/validator.h"

#include <string>
#include <utility>
#include <vector>

namespace ffglhost
{
// run's options (run_options.cpp).
struct RunOptions
{
	// input
	std::string inputPath;           // a PNG file or a folder; empty: the scene
	std::string scene = "presenter"; // or "photo"
	bool sceneGiven   = false;
	std::string photoPath;           // the photo scene's photograph
	bool still              = false; // the photo scene without camera motion
	unsigned long long seed = 0;     // the photo scene's camera motion and noise
	int width               = 1920;
	int height              = 1080;
	bool sizeGiven          = false;
	int frames              = 0;                                   // 0: the input's natural count
	std::vector< std::pair< std::string, std::string > > settings; // --set NAME=VALUE, in order
	// output
	std::string outDirectory;
	std::string sheetPath;
	bool progress = true;
	// --bench: the same frames with the runtime present and absent, alternating processes
	bool bench      = false;
	bool benchChild = false; // one such process: times only, no output read back
	// --bench --versus NAME=VALUE: the user's runtime as it is against the same with these set
	std::vector< std::pair< std::string, std::string > > versus;
};

struct CommandLine
{
	std::string command; // "info", "run", "check", "check-group" (one group of a check) or "help"
	std::string plugin;
	RunOptions run;
	CheckOptions check; // check and check-group (its group in check.groups)
	// all: variables set in our own environment before the plug-in loads
	EnvironmentSettings environment;
};

// One option of a command: its name and what it does with its value (a flag's value is empty).
struct CommandOption
{
	const char* name;
	bool takesValue;
	// Stores the value in *line; false with *error (a message for the user) when the value is not valid.
	bool ( *apply )( const std::string& value, CommandLine* line, std::string* error );
};

// false, with the message in *error: how an option's apply refuses a value.
bool RefuseOption( const std::string& message, std::string* error );

// The value as a whole number from 1 to limit in *count; else false with *error "<expects>, not "<value>"".
bool StoreCount( const std::string& value, int limit, int* count, const std::string& expects, std::string* error );
// "NAME=VALUE" appended to *list; else false with *error "<option> expects NAME=VALUE, not "<value>"".
bool StoreAssignment( const std::string& value, const char* option,
                      std::vector< std::pair< std::string, std::string > >* list, std::string* error );

// The options each command declares beside itself.
const std::vector< CommandOption >& RunOptionTable();
const std::vector< CommandOption >& CheckOptionTable();
const std::vector< CommandOption >& CheckGroupOptionTable(); // check's, and the parent's to a group's process
// What run's options together cannot ask for; false with *error.
bool CheckRunOptions( const CommandLine& line, std::string* error );

// False with *error (a message for the user) on anything that is not a valid command line.
bool ParseCommandLine( int argc, const char* const* argv, CommandLine* line, std::string* error );

// A whole decimal number from 1 to limit, at most 9 digits.
bool ParseCount( const std::string& text, int limit, int* value );
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
