#include "host/core/exit_status.h"

#include <cstdio>

namespace ffglhost
{
void PrintError( const std::string& message )
{
	std::fflush( stdout );
	std::fprintf( stderr, "ffglhost: %s\n", message.c_str() );
	std::fflush( stderr );
}
}
