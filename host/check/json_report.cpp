#include "host/check/json_report.h"

#include "host/check/group_table.h"
#include "host/check/utf8.h"
#include "host/core/output_file.h"

#include <cstdio>
#include <sstream>

namespace ffglhost
{
namespace
{
// ", \"artifacts\": [...]" for a check with files, nothing for one without.
std::string ArtifactsJson( const std::vector< std::string >& paths )
{
	if( paths.empty() )
		return std::string();
	std::string list;
	for( const std::string& path : paths )
		list += ( list.empty() ? "" : ", " ) + JsonText( path );
	return ", \"artifacts\": [" + list + "]";
}

std::string DescriptionJson( const std::string& check )
{
	const CheckDefinition* definition = FindCheck( check );
	return definition ? ", \"description\": " + JsonText( definition->description ) : std::string();
}
}

std::string JsonText( const std::string& text )
{
	std::string out = "\"";
	for( size_t i = 0; i < text.size(); )
	{
		const unsigned char c = static_cast< unsigned char >( text[ i ] );
		const size_t length   = Utf8Length( text, i );
		if( length > 1 )
			out.append( text, i, length );
		else if( c == '"' || c == '\\' )
			out += std::string( "\\" ) + static_cast< char >( c );
		else if( c < 0x20 || length == 0 )
		{
			char escaped[ 8 ];
			std::snprintf( escaped, sizeof( escaped ), "\\u%04x", c );
			out += escaped;
		}
		else
			out += static_cast< char >( c );
		i += length > 1 ? length : 1;
	}
	return out + "\"";
}

bool WriteJsonReport( const std::string& path, const CheckReport& report, const std::string& plugin, int strictness,
                      unsigned long long seed, std::string* error )
{
	std::ostringstream file;
	const std::vector< CheckResult >& results = report.Results();
	file << "{\n  \"plugin\": " << JsonText( plugin ) << ",\n  \"strictness\": " << strictness
	     << ",\n  \"seed\": " << seed << ",\n  \"summary\": {\"checks\": " << results.size()
	     << ", \"passed\": " << report.Count( CheckStatus::kPass )
	     << ", \"warnings\": " << report.Count( CheckStatus::kWarn )
	     << ", \"failed\": " << report.Count( CheckStatus::kFail ) << "},\n  \"checks\": [\n";
	for( size_t i = 0; i < results.size(); ++i )
		file << "    {\"name\": " << JsonText( results[ i ].name )
		     << ", \"status\": " << JsonText( StatusName( results[ i ].status ) )
		     << ", \"reason\": " << JsonText( ReasonText( results[ i ] ) )
		     << ArtifactsJson( report.Artifacts( results[ i ].name ) ) << DescriptionJson( results[ i ].name ) << "}"
		     << ( i + 1 < results.size() ? ",\n" : "\n" );
	file << "  ],\n  \"timing\": [\n";
	const std::vector< TimingLine >& timing = report.Timing();
	for( size_t i = 0; i < timing.size(); ++i )
	{
		char numbers[ 200 ];
		std::snprintf( numbers, sizeof( numbers ),
		               "\"calls\": %zu, \"median_ms\": %.3f, \"p95_ms\": %.3f, \"max_ms\": %.3f, \"budget_ms\": %.0f",
		               timing[ i ].count, timing[ i ].median, timing[ i ].p95, timing[ i ].max, timing[ i ].budget );
		file << "    {\"kind\": " << JsonText( timing[ i ].kind ) << ", " << numbers << "}"
		     << ( i + 1 < timing.size() ? ",\n" : "\n" );
	}
	file << "  ],\n  \"log\": [";
	for( size_t i = 0; i < report.LogLines().size(); ++i )
		file << ( i ? ", " : "" ) << JsonText( report.LogLines()[ i ] );
	file << "]\n}\n";
	return WriteWholeFile( path, file.str(), error );
}
}
