#include "host/core/process.h"

#include <cerrno>
#include <cstring>

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
	ProcessResult result;
	// What we wrote so far comes before anything the child writes to a shared terminal.
	std::fflush( stdout );
	FILE* child = OpenProcessPipe( arguments );
	if( !child )
	{
		result.failure = std::strerror( errno );
		return result;
	}
	result.started = true;
	char buffer[ 4096 ];
	size_t read;
	while( ( read = std::fread( buffer, 1, sizeof( buffer ), child ) ) > 0 )
		result.output.append( buffer, read );
	CloseProcessPipe( child, &result );
	return result;
}
}
