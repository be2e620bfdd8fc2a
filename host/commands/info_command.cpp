#include "host/commands/commands.h"

#include "host/core/gl_frames.h"
#include "host/core/host_log.h"
#include "host/core/plugin_info.h"
#include "host/core/plugin_instance.h"
#include "host/core/texts.h"

#include <algorithm>
#include <cstdio>

namespace ffglhost
{
// The plug-in's own display texts of its defaults, from one instance; empty when none can be made.
static std::vector< std::string > DisplayTexts( const PluginLibrary& library, const PluginDescription& description )
{
	std::vector< std::string > texts;
	GLContext context;
	std::string error;
	if( !StartHostGL( context, &error ) )
	{
		PrintError( "no display texts: " + error );
		return texts;
	}
	PluginInstance instance;
	if( !instance.Create( library, 1920, 1080, &error ) )
	{
		PrintError( "no display texts: " + error );
		return texts;
	}
	for( const ParameterDescription& p : description.parameters )
		texts.push_back( instance.ParameterDisplay( p.index ) );
	instance.Destroy();
	return texts;
}

static void PrintRow( const std::vector< std::string >& cells, const std::vector< size_t >& widths )
{
	std::string row = " ";
	for( size_t i = 0; i < cells.size(); ++i )
	{
		row += " " + cells[ i ];
		if( i + 1 < cells.size() )
			row += std::string( widths[ i ] - cells[ i ].size() + 1, ' ' );
	}
	std::printf( "%s\n", row.c_str() );
}

static void PrintParameters( const PluginDescription& d, const std::vector< std::string >& displays )
{
	std::vector< std::vector< std::string > > rows;
	rows.push_back( { "index", "name", "type", "default", "range", "display" } );
	for( size_t i = 0; i < d.parameters.size(); ++i )
	{
		const ParameterDescription& p = d.parameters[ i ];
		std::string type              = p.typeKnown ? ParameterTypeName( p.type ) : "unknown";
		std::string value =
		    p.typeKnown && IsTextType( p.type ) ? "\"" + p.defaultText + "\"" : FloatText( p.defaultValue );
		std::string range   = p.hasRange ? FloatText( p.min ) + " to " + FloatText( p.max ) : "-";
		std::string display = i < displays.size() ? displays[ i ] : "-";
		rows.push_back( { std::to_string( p.index ), p.name, type, value, range, display } );
	}
	std::vector< size_t > widths( rows[ 0 ].size(), 0 );
	for( const auto& row : rows )
		for( size_t c = 0; c < row.size(); ++c )
			widths[ c ] = std::max( widths[ c ], row[ c ].size() );
	for( const auto& row : rows )
		PrintRow( row, widths );
}

int InfoCommand( const CommandLine& line )
{
	ClearCollectedLogLines();
	PluginLibrary library;
	std::string error;
	if( !library.Load( line.plugin, &error ) )
	{
		PrintError( error );
		return kExitCannotRun;
	}
	if( !library.Identify( &error ) )
	{
		PrintError( error );
		return kExitFailed;
	}
	library.InstallLogCallback( CollectLogLine );
	PluginDescription d;
	if( !InitialisePlugin( library, &error ) || !DescribePlugin( library, &d, &error ) )
	{
		PrintError( error );
		PrintCollectedLogLines( stderr );
		return kExitFailed;
	}
	std::printf( "library       %s\n", line.plugin.c_str() );
	std::printf( "identifier    %s\n", d.identifier.c_str() );
	std::printf( "name          %s\n", d.name.c_str() );
	std::printf( "FFGL version  %u.%u\n", d.apiMajor, d.apiMinor );
	std::printf( "type          %s (%u)\n", PluginTypeName( d.type ).c_str(), d.type );
	if( d.hasExtendedInfo )
	{
		std::printf( "version       %u.%u\n", d.versionMajor, d.versionMinor );
		std::printf( "description   %s\n", d.description.c_str() );
		std::printf( "about         %s\n", d.about.c_str() );
	}
	else
	{
		std::printf( "version       (no extended information)\n" );
	}
	std::printf( "capabilities  set time: %s; inputs: %u to %u; top-left textures: %s\n", d.setTime ? "yes" : "no",
	             d.minInputs, d.maxInputs, d.topLeft ? "yes" : "no" );
	std::printf( "parameters    %u\n", static_cast< unsigned >( d.parameters.size() ) );
	std::fflush( stdout );
	std::vector< std::string > displays = DisplayTexts( library, d );
	PrintParameters( d, displays );
	DeinitialisePlugin( library );
	library.Close();
	PrintCollectedLogLines( stdout );
	return kExitOk;
}
}
