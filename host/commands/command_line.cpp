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

bool StoreSeed( const std::string& value, unsigned long long* seed, std::string* error )
{
	return ParseSeed( value, seed ) ||
	       RefuseOption( "--seed expects a whole number from 0 to 18446744073709551615, not \"" + value + "\"", error );
}

namespace
{
// Every command takes --env and --help.
bool ApplyEnvironment( const std::string& value, CommandLine* line, std::string* error )
{
	return StoreAssignment( value, "--env", &line->environment, error );
}

bool ApplyHelp( const std::string&, CommandLine* line, std::string* )
{
	line->helpTopic = line->command;
	line->command   = "help";
	return true;
}

const std::vector< CommandOption > kNoOptions;

bool IsHelpWord( const std::string& word )
{
	return word == "--help" || word == "-h";
}

const CommandOption* FindOption( const std::vector< CommandOption >& options, const std::string& name )
{
	for( const std::vector< CommandOption >* table : { &CommonOptions(), &options } )
		for( const CommandOption& option : *table )
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

// "info, run, check": the commands the help shows.
std::string CommandNames()
{
	std::string names;
	for( const Command& command : Commands() )
		if( command.operands )
			names += ( names.empty() ? "" : ", " ) + std::string( command.name );
	return names;
}

// The command and its plug-in (check-group: with the group between them), and where the options start.
// "COMMAND --help" asks for the command's help instead.
bool ParseCommandWords( int argc, const char* const* argv, const Command** command, int* first, CommandLine* line,
                        std::string* error )
{
	*command = FindCommand( line->command );
	if( !*command )
		return RefuseOption( "unknown command \"" + line->command + "\" (expected info, run or check)", error );
	*first = 2;
	if( argc > *first && IsHelpWord( argv[ *first ] ) )
		return ApplyHelp( std::string(), line, error );
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

// "help [COMMAND]" and "version": no plug-in, no options.
bool ParseHelpOrVersion( int argc, const char* const* argv, CommandLine* line, std::string* error )
{
	if( line->command == "version" )
		return argc == 2 || RefuseOption( "version takes no arguments", error );
	if( argc > 3 )
		return RefuseOption( "help takes one command at most", error );
	if( argc == 3 )
	{
		line->helpTopic      = argv[ 2 ];
		const Command* found = FindCommand( line->helpTopic );
		if( !found || !found->operands )
			return RefuseOption(
			    "help: unknown command \"" + line->helpTopic + "\" (the commands are " + CommandNames() + ")", error );
	}
	return true;
}
}

const std::vector< CommandOption >& CommonOptions()
{
	static const std::vector< CommandOption > options = {
		{ "--env", "NAME=VALUE", "set in the environment before the plug-in loads (check: of every group's process)",
		  ApplyEnvironment },
		{ "--help", nullptr, "these lines: the command's options and exit statuses", ApplyHelp },
	};
	return options;
}

const std::vector< Command >& Commands()
{
	static const std::vector< Command > commands = {
		{ "info", "PLUGIN [options]", "shows its information blocks, capabilities and parameter table",
		  "the plug-in was shown",
		  "the library is not an FFGL 2.x plug-in, or it failed FF_INITIALISE_V2 or an information code", &kNoOptions,
		  InfoCommand, nullptr, false, false },
		{ "run", "PLUGIN [options]", "runs frames through the effect on a headless OpenGL 4.1 core context",
		  "every frame was drawn",
		  "the plug-in is not an FFGL 2.x effect, or it failed FF_INITIALISE_V2, FF_INSTANTIATE_GL, a frame or a "
		  "--set value",
		  &RunOptionTable(), RunCommand, CheckRunOptions, false, true },
		{ "check", "PLUGIN [options]",
		  "validates it the way real hosts drive it (each group of checks in a process of its own)",
		  "no check failed (warnings allowed)", "at least one check failed", &CheckOptionTable(), CheckCommand, nullptr,
		  false, false },
		{ "check-group", nullptr, nullptr, nullptr, nullptr, &CheckGroupOptionTable(), CheckGroupCommand, nullptr, true,
		  false },
	};
	return commands;
}

const Command* FindCommand( const std::string& name )
{
	for( const Command& command : Commands() )
		if( name == command.name )
			return &command;
	return nullptr;
}

int RunParsedCommand( const CommandLine& line )
{
	const Command* command = FindCommand( line.command );
	return command ? command->execute( line ) : kExitUsage;
}

bool ParseCommandLine( int argc, const char* const* argv, CommandLine* line, std::string* error )
{
	*line = CommandLine();
	if( argc < 2 )
		return RefuseOption( "no command given", error );
	line->command = argv[ 1 ];
	if( line->command == "help" || IsHelpWord( line->command ) || line->command == "version" ||
	    line->command == "--version" )
	{
		line->command = line->command == "version" || line->command == "--version" ? "version" : "help";
		return ParseHelpOrVersion( argc, argv, line, error );
	}
	const Command* command = nullptr;
	int first              = 0;
	if( !ParseCommandWords( argc, argv, &command, &first, line, error ) )
		return false;
	for( int i = first; i < argc && line->command != "help"; ++i )
	{
		const std::string option   = argv[ i ];
		const CommandOption* known = FindOption( *command->options, option );
		if( !known && ( !command->valueBeforeUnknown || AnyCommandTakes( option ) ) )
			return RefuseOption( line->command + ": unknown option \"" + option + "\"", error );
		if( known && !known->value )
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
	return line->command == "help" || !command->finish || command->finish( *line, error );
}
}
