#include "ffgl/log.h"

#include "platform/platform.h"

#include <cstdio>
#include <string>

static FFGLLogCallback logCallback = nullptr;

extern "C" void SetLogCallback( FFGLLogCallback callback )
{
	logCallback = callback;
}

void LogToHost( const char* text )
{
	FFGLLogCallback callback = logCallback;
	if( callback && text )
		callback( text );
}

void DebugLine( const char* text )
{
	if( !text )
		text = "";
	platform::WriteDebugOutput( text );
	platform::WriteDebugOutput( "\n" );
	std::fputs( text, stdout );
	std::fputc( '\n', stdout );
	std::fflush( stdout );
}

void DebugLine( const char* prefix, const char* text )
{
	std::string line( prefix ? prefix : "" );
	line += text ? text : "";
	DebugLine( line.c_str() );
}
