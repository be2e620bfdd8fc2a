// ffglhost's help, written from the tables the command line is parsed with, and its version.
#include "host/commands/command_line.h"

#include "host/core/exit_status.h"
#include "version.h"

namespace ffglhost
{
namespace
{
const size_t kOptionColumn  = 24;
const size_t kCommandColumn = 36;

// Two columns: the left one padded to the column (at least one space after it).
std::string Row( const std::string& left, const std::string& right, size_t column )
{
	return left + std::string( left.size() < column ? column - left.size() : 1, ' ' ) + right + "\n";
}

std::string OptionLine( const CommandOption& option )
{
	return Row( std::string( "  " ) + option.name + ( option.value ? std::string( " " ) + option.value : "" ),
	            option.help, kOptionColumn );
}

std::string ExitLine( int code, const std::string& meaning )
{
	return "  " + std::to_string( code ) + "  " + meaning + "\n";
}

// What exit statuses 2 and 3 say, the same for every command.
std::string CommonExitLines()
{
	return ExitLine( kExitUsage, "the command line was refused (the message says why)" ) +
	       ExitLine( kExitCannotRun, "the run could not be carried out: no OpenGL context, the plug-in file missing "
	                                 "or not loadable as a library," ) +
	       "     an input that cannot be read, or an output file (report, pictures, frames) that cannot be written\n";
}

// Usage, what it does, its options, and its own exit statuses 0 and 1.
std::string CommandHelp( const Command& command )
{
	std::string text =
	    "usage: ffglhost " + std::string( command.name ) + " " + command.operands + "\n" + command.summary + "\n";
	std::string options;
	for( const std::vector< CommandOption >* table : { command.options, &CommonOptions() } )
		for( const CommandOption& option : *table )
			if( option.help )
				options += OptionLine( option );
	text += "\noptions:\n" + options + "\nexit status:\n" + ExitLine( kExitOk, command.exitOk ) +
	        ExitLine( kExitFailed, command.exitFailed );
	return text;
}
}

std::string VersionText()
{
	return "ffglhost " UMBRAFEX_VERSION_TEXT;
}

std::string HelpText( const std::string& topic )
{
	const Command* asked = FindCommand( topic );
	if( asked && asked->operands )
		return CommandHelp( *asked ) + CommonExitLines();
	std::string text = VersionText() +
	                   ": a headless FFGL 2.x host. It loads an FFGL 2.x effect library (.so / .dll) as a host "
	                   "does,\nshows what it is, runs frames through it and validates it against what real hosts "
	                   "do.\n\nusage:\n";
	for( const Command& command : Commands() )
		if( command.operands )
			text += Row( std::string( "  ffglhost " ) + command.name + " " + command.operands, command.summary,
			             kCommandColumn );
	text += Row( "  ffglhost help [COMMAND]", "this text, or one command's", kCommandColumn ) +
	        Row( "  ffglhost COMMAND --help", "one command's", kCommandColumn ) +
	        Row( "  ffglhost version", "the version (also --version)", kCommandColumn );
	for( const Command& command : Commands() )
		if( command.operands )
			text += "\n" + CommandHelp( command );
	return text + "\nand for every command:\n" + CommonExitLines();
}
}
