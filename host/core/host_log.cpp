#include "host/core/host_log.h"

namespace ffglhost
{
static std::vector< std::string >& Lines()
{
	static std::vector< std::string > lines;
	return lines;
}

void CollectLogLine( const char* text )
{
	// A plug-in may call us from any of its calls; never let a null or an exception reach it.
	if( !text )
		return;
	try
	{
		Lines().emplace_back( text );
	}
	catch( ... )
	{
	}
}

const std::vector< std::string >& CollectedLogLines()
{
	return Lines();
}

void ClearCollectedLogLines()
{
	Lines().clear();
}

void PrintCollectedLogLines( FILE* stream )
{
	for( const std::string& line : Lines() )
		std::fprintf( stream, "plugin: %s\n", line.c_str() );
	std::fflush( stream );
}
}
