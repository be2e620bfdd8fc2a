#include "host/commands/command_line.h"

#include "host/check/group_table.h"
#include "host/commands/commands.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace ffglhost
{
// Larger sides are typing mistakes.
const int kMaxSide = 1000000;

bool ParseCount( const std::string& text, int limit, int* value )
{
	if( text.empty() || text.size() > 9 )
		return false;
	for( char c : text )
		if( c < '0' || c > '9' )
			return false;
	const long n = std::strtol( text.c_str(), nullptr, 10 );
	if( n < 1 || n > limit )
		return false;
	*value = static_cast< int >( n );
	return true;
}

bool ParseSize( const std::string& text, int* w, int* h )
{
	const size_t x = text.find_first_of( "xX" );
	if( x == std::string::npos )
		return false;
	return ParseCount( text.substr( 0, x ), kMaxSide, w ) && ParseCount( text.substr( x + 1 ), kMaxSide, h );
}

bool ParseNumber( const std::string& text, float* value )
{
	if( text.empty() || std::isspace( static_cast< unsigned char >( text[ 0 ] ) ) )
		return false;
	char* end      = nullptr;
	errno          = 0;
	const double v = std::strtod( text.c_str(), &end );
	if( errno != 0 || end != text.c_str() + text.size() || !std::isfinite( v ) )
		return false;
	const float f = static_cast< float >( v );
	if( !std::isfinite( f ) )
		return false;
	*value = f;
	return true;
}

bool ParseSeed( const std::string& text, unsigned long long* seed )
{
	if( text.empty() || text.size() > 20 )
		return false;
	unsigned long long value = 0;
	for( char c : text )
	{
		if( c < '0' || c > '9' )
			return false;
		const unsigned digit = static_cast< unsigned >( c - '0' );
		if( value > ( ~0ull - digit ) / 10 )
			return false;
		value = value * 10 + digit;
	}
	*seed = value;
	return true;
}

bool ParseAssignment( const std::string& text, std::string* name, std::string* value )
{
	const size_t equals = text.find( '=' );
	if( equals == std::string::npos || equals == 0 )
		return false;
	*name  = text.substr( 0, equals );
	*value = text.substr( equals + 1 );
	return true;
}

const char* UsageText()
{
	return "usage: ffglhost info PLUGIN [--env NAME=VALUE]...\n"
	       "       ffglhost run PLUGIN [options]\n"
	       "       ffglhost check PLUGIN [--strictness N] [--seed N] [--json FILE] [--junit FILE]\n"
	       "                             [--artifacts DIR] [--groups LIST] [--call-timeout N]\n"
	       "                             [--env NAME=VALUE]...\n"
	       "\n"
	       "Loads an FFGL 2.x effect library (.so / .dll) as a host does and shows what it is (info),\n"
	       "runs frames through it on a headless OpenGL 4.1 core context (run), or validates it against\n"
	       "what real hosts do (check).\n"
	       "\n"
	       "run options:\n"
	       "  --input FILE.png      one picture, repeated\n"
	       "  --input DIR           the folder's PNG files in name order\n"
	       "  --scene presenter     a generated presenter on a green backdrop (the default)\n"
	       "  --scene photo:FILE    a PNG or JPEG photograph filmed by a handheld camera: fitted to fill the\n"
	       "                        frame, a few pixels of drift and shake, fresh sensor noise each frame\n"
	       "  --still               the photograph without camera motion (the noise still changes)\n"
	       "  --seed N              the camera motion and noise of the photograph (default 0)\n"
	       "  --size WxH            size of the generated scene (default 1920x1080)\n"
	       "  --frames N            number of frames (default 60; a folder: one per file)\n"
	       "  --set NAME=VALUE      set a parameter by name before the first frame (repeatable)\n"
	       "  --out DIR             write the frames as DIR/frame_0001.png ... (straight alpha)\n"
	       "  --sheet FILE.png      write a contact sheet: input, matte and cut-out of a few frames\n"
	       "  --no-progress         no progress line, even on a terminal\n"
	       "  --bench               time the frames with the NVIDIA runtime present (REFRT_MATTE=255) and\n"
	       "                        absent, in alternating processes; at --size, else 1920x1080 and 1280x720\n"
	       "  --versus NAME=VALUE   with --bench: the runtime as --env lays it out against the same with\n"
	       "                        NAME=VALUE set (repeatable), e.g. another models folder\n"
	       "  --env NAME=VALUE      set a variable in ffglhost's environment before loading the plug-in\n"
	       "\n"
	       "check options:\n"
	       "  --strictness N        1 (a quick smoke run) to 10 (every size up to 3840x2160, more frames,\n"
	       "                        instances and random steps); default 5\n"
	       "  --seed N              the seed of every random choice; printed, so a run can be replayed\n"
	       "  --json FILE           write every result, the timing and the plug-in's log as JSON\n"
	       "  --junit FILE          write a JUnit XML report, one test case per check (a warning passes)\n"
	       "  --artifacts DIR       for every picture check that warns or fails, write the picture a fresh\n"
	       "                        instance drew, the one drawn and their difference as PNG files there\n"
	       "  --groups LIST         only these groups, comma-separated: scan, protocol, instances,\n"
	       "                        parameters, sizes, output\n"
	       "  --call-timeout N      seconds one call into the plug-in may take before it counts as hung\n"
	       "                        (default 60)\n"
	       "\n"
	       "exit status: 0 done (check: no check failed), 1 the plug-in, a file or the GL failed (check: a\n"
	       "check failed), 2 a mistake on the command line\n";
}

bool RefuseOption( const std::string& message, std::string* error )
{
	*error = message;
	return false;
}

bool StoreCount( const std::string& value, int limit, int* count, const std::string& expects, std::string* error )
{
	return ParseCount( value, limit, count ) || RefuseOption( expects + ", not \"" + value + "\"", error );
}

bool StoreAssignment( const std::string& value, const char* option,
                      std::vector< std::pair< std::string, std::string > >* list, std::string* error )
{
	std::string name, text;
	if( !ParseAssignment( value, &name, &text ) )
		return RefuseOption( std::string( option ) + " expects NAME=VALUE, not \"" + value + "\"", error );
	list->emplace_back( name, text );
	return true;
}

namespace
{
// A command: its name, its options, and what runs it.
struct Command
{
	const char* name;
	const std::vector< CommandOption >* options;
	int ( *execute )( const CommandLine& line );
	// What the options together cannot ask for; null: nothing beyond each option's own rule.
	bool ( *finish )( const CommandLine& line, std::string* error );
	// check-group: the group's name comes before the plug-in.
	bool groupFirst;
	// run reads an unknown option's value before refusing it, so a last unknown word is said to lack one.
	bool valueBeforeUnknown;
};

// Every command takes --env.
bool ApplyEnvironment( const std::string& value, CommandLine* line, std::string* error )
{
	return StoreAssignment( value, "--env", &line->environment, error );
}
const CommandOption kEnvironmentOption = { "--env", true, ApplyEnvironment };
const std::vector< CommandOption > kNoOptions;

const std::vector< Command >& Commands()
{
	static const std::vector< Command > commands = {
		{ "info", &kNoOptions, InfoCommand, nullptr, false, false },
		{ "run", &RunOptionTable(), RunCommand, CheckRunOptions, false, true },
		{ "check", &CheckOptionTable(), CheckCommand, nullptr, false, false },
		{ "check-group", &CheckGroupOptionTable(), CheckGroupCommand, nullptr, true, false },
	};
	return commands;
}

const CommandOption* FindOption( const std::vector< CommandOption >& options, const std::string& name )
{
	if( name == kEnvironmentOption.name )
		return &kEnvironmentOption;
	for( const CommandOption& option : options )
		if( name == option.name )
			return &option;
	return nullptr;
}

bool AnyCommandTakes( const std::string& name )
{
	for( const Command& command : Commands() )
		if( FindOption( *command.options, name ) )
			return true;
	return false;
}

// The command and its plug-in (check-group: with the group between them), and where the options start.
bool ParseCommandWords( int argc, const char* const* argv, const Command** command, int* first, CommandLine* line,
                        std::string* error )
{
	for( const Command& c : Commands() )
		if( line->command == c.name )
			*command = &c;
	if( !*command )
		return RefuseOption( "unknown command \"" + line->command + "\" (expected info, run or check)", error );
	*first = 2;
	if( ( *command )->groupFirst )
	{
		if( argc < 3 || !FindCheckGroup( argv[ 2 ] ) )
			return RefuseOption( "check-group: no known group given", error );
		line->check.groups.push_back( argv[ 2 ] );
		*first = 3;
	}
	if( argc <= *first || argv[ *first ][ 0 ] == '-' )
		return RefuseOption( line->command + ": no plug-in library given", error );
	line->plugin = argv[ ( *first )++ ];
	return true;
}
}

int RunParsedCommand( const CommandLine& line )
{
	for( const Command& command : Commands() )
		if( line.command == command.name )
			return command.execute( line );
	return kExitUsage;
}

bool ParseCommandLine( int argc, const char* const* argv, CommandLine* line, std::string* error )
{
	*line = CommandLine();
	if( argc < 2 )
		return RefuseOption( "no command given", error );
	line->command = argv[ 1 ];
	if( line->command == "help" || line->command == "--help" || line->command == "-h" )
	{
		line->command = "help";
		return true;
	}
	const Command* command = nullptr;
	int first              = 0;
	if( !ParseCommandWords( argc, argv, &command, &first, line, error ) )
		return false;
	for( int i = first; i < argc; ++i )
	{
		const std::string option   = argv[ i ];
		const CommandOption* known = FindOption( *command->options, option );
		if( !known && ( !command->valueBeforeUnknown || AnyCommandTakes( option ) ) )
			return RefuseOption( line->command + ": unknown option \"" + option + "\"", error );
		if( known && !known->takesValue )
		{
			if( !known->apply( std::string(), line, error ) )
				return false;
			continue;
		}
		if( i + 1 >= argc )
			return RefuseOption( option.compare( 0, 2, "--" ) == 0 ? option + " needs a value"
			                                                       : "unexpected argument \"" + option + "\"",
			                     error );
		const std::string value = argv[ ++i ];
		if( !known )
			return RefuseOption( line->command + ": unknown option \"" + option + "\"", error );
		if( !known->apply( value, line, error ) )
			return false;
	}
	return !command->finish || command->finish( *line, error );
}
}
