#include "host/core/process.h"

#include <utility>

namespace ffglhost
{
std::vector< std::string > OutputLines( const std::string& output )
{
	std::vector< std::string > lines;
	size_t start = 0;
	while( start < output.size() )
	{
		size_t end = output.find( '\n', start );
		if( end == std::string::npos )
			end = output.size();
		lines.push_back( output.substr( start, end - start ) );
		if( !lines.back().empty() && lines.back().back() == '\r' )
			lines.back().pop_back();
		start = end + 1;
	}
	return lines;
}

ProcessResult RunProcess( const std::vector< std::string >& arguments )
{
	std::string output;
	ProcessResult result = RunProcess( arguments, [ &output ]( const std::string& line ) { output += line + "\n"; } );
	result.output        = std::move( output );
	return result;
}

ProcessResult RunProcess( const std::vector< std::string >& arguments,
                          const std::function< void( const std::string& line ) >& onLine )
{
	ProcessResult result;
	// What we wrote so far comes before anything the child writes to a shared terminal.
	std::fflush( stdout );
	ChildProcess child;
	if( !StartChildProcess( arguments, &child, &result.failure ) )
		return result;
	result.started = true;
	// fgets returns at each line end, where fread would wait for a full buffer.
	char buffer[ 4096 ];
	std::string line;
	while( std::fgets( buffer, sizeof( buffer ), child.output ) )
	{
		line += buffer;
		if( line.back() != '\n' )
			continue;
		line.pop_back();
		if( !line.empty() && line.back() == '\r' )
			line.pop_back();
		onLine( line );
		line.clear();
	}
	if( !line.empty() )
		onLine( line );
	EndChildProcess( child, &result );
	return result;
}
}
