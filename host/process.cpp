#include "host/process.h"

namespace ffglhost
{
ProcessResult RunProcess( const std::vector< std::string >& arguments )
{
	ProcessResult result;
	// What we wrote so far comes before anything the child writes to a shared terminal.
	std::fflush( stdout );
	FILE* child = OpenProcessPipe( arguments );
	if( !child )
		return result;
	result.started = true;
	char buffer[ 4096 ];
	size_t read;
	while( ( read = std::fread( buffer, 1, sizeof( buffer ), child ) ) > 0 )
		result.output.append( buffer, read );
	CloseProcessPipe( child, &result );
	return result;
}
}
