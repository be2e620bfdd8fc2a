#pragma once
// ffglhost's command line: "info PLUGIN", "run PLUGIN [options]", "check PLUGIN [options]", "help
// [COMMAND]" and "version", parsed into plain values by one routine from the options each command
// declares beside itself; the help is written from the same tables.
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
	// "info", "run", "check", "check-group" (one group of a check), "help" or "version"
	std::string command;
	std::string helpTopic; // help: the command whose help is asked for; empty: all of them
	std::string plugin;
	RunOptions run;
	CheckOptions check; // check and check-group (its group in check.groups)
	// all: variables set in our own environment before the plug-in loads
	EnvironmentSettings environment;
};

// One option of a command: its name, its value and its line of help, and what it does with the value
// (a flag's value is empty).
struct CommandOption
{
	const char* name;
	const char* value; // what it takes, as the help names it ("N", "FILE"); null: a flag
	const char* help;  // its line in the help; null: an option between ffglhost's own processes, not shown
	// Stores the value in *line; false with *error (a message for the user) when the value is not valid.
	bool ( *apply )( const std::string& value, CommandLine* line, std::string* error );
};

// A command: its name, what the help says of it, its options, and what runs it.
struct Command
{
	const char* name;
	const char* operands;   // after the name in the usage line; null: between ffglhost's own processes, not shown
	const char* summary;    // what it does, one line
	const char* exitOk;     // what exit status 0 says of it
	const char* exitFailed; // what 1 says
	const std::vector< CommandOption >* options;
	int ( *execute )( const CommandLine& line );
	// What the options together cannot ask for; null: nothing beyond each option's own rule.
	bool ( *finish )( const CommandLine& line, std::string* error );
	// check-group: the group's name comes before the plug-in.
	bool groupFirst;
	// run reads an unknown option's value before refusing it, so a last unknown word is said to lack one.
	bool valueBeforeUnknown;
};
const std::vector< Command >& Commands();
// The command of that name, or null.
const Command* FindCommand( const std::string& name );
// Options every command takes (--env, --help), after its own in the help.
const std::vector< CommandOption >& CommonOptions();

// false, with the message in *error: how an option's apply refuses a value.
bool RefuseOption( const std::string& message, std::string* error );

// The value as a whole number from 1 to limit in *count; else false with *error "<expects>, not "<value>"".
bool StoreCount( const std::string& value, int limit, int* count, const std::string& expects, std::string* error );
// "NAME=VALUE" appended to *list; else false with *error "<option> expects NAME=VALUE, not "<value>"".
bool StoreAssignment( const std::string& value, const char* option,
                      std::vector< std::pair< std::string, std::string > >* list, std::string* error );
// The value as a seed in *seed; else false with *error "--seed expects a whole number from 0 to ..., not "<value>"".
bool StoreSeed( const std::string& value, unsigned long long* seed, std::string* error );

// The apply of an option whose value is stored as it is, or of a flag that sets a field, in a part of
// the line: StoreText< &CommandLine::check, &CheckOptions::jsonPath >.
template< auto part, auto field >
bool StoreText( const std::string& value, CommandLine* line, std::string* )
{
	( line->*part ).*field = value;
	return true;
}
template< auto part, auto field >
bool SetFlag( const std::string&, CommandLine* line, std::string* )
{
	( line->*part ).*field = true;
	return true;
}

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

// The help of one command with its options and exit statuses, or (topic empty) of all of them.
std::string HelpText( const std::string& topic );
std::string VersionText(); // "ffglhost 1.1"
}
