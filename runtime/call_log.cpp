#include "runtime/call_log.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <mutex>

namespace refrt
{
// Lines of concurrent calls must not interleave.
static std::mutex logMutex;

CallLog::CallLog( const char* exportName )
    : enabled( LogPath() != nullptr )
{
	line[ 0 ] = 0;
	Append( "%s", exportName );
}

CallLog::~CallLog()
{
	if( !enabled )
		return;
	std::lock_guard< std::mutex > lock( logMutex );
	// Opened and closed per line, so a test can read the log at any time. Binary: "\n" on Windows too.
	FILE* file = std::fopen( LogPath(), "ab" );
	if( !file )
		return;
	std::fwrite( line, 1, length, file );
	std::fputc( '\n', file );
	std::fclose( file );
}

// Cut at the end of the line's buffer, never past it.
void CallLog::Append( const char* format, ... )
{
	if( !enabled || length >= sizeof( line ) - 1 )
		return;
	va_list arguments;
	va_start( arguments, format );
	int written = std::vsnprintf( line + length, sizeof( line ) - length, format, arguments );
	va_end( arguments );
	if( written > 0 )
		length += static_cast< size_t >( written ) < sizeof( line ) - length ? static_cast< size_t >( written )
		                                                                     : sizeof( line ) - 1 - length;
}

void CallLog::Arg( const char* text )
{
	Append( " %s", text ? text : "null" );
}

void CallLog::Arg( const void* pointer )
{
	if( !pointer )
		return Arg( "null" );
	// Written by hand: "%p" differs between C runtimes (case, "0x", padding).
	static const char kDigits[] = "0123456789abcdef";
	uintptr_t value             = reinterpret_cast< uintptr_t >( pointer );
	char text[ 24 ];
	char* p = text + sizeof( text );
	*--p    = 0;
	do
	{
		*--p = kDigits[ value & 15 ];
		value >>= 4;
	} while( value );
	Append( " 0x%s", p );
}

void CallLog::Arg( const NvCVRect2i* rect )
{
	if( !rect )
		return Arg( "null" );
	Append( " %d,%d,%d,%d", rect->x, rect->y, rect->width, rect->height );
}

void CallLog::Arg( const NvCVPoint2i* point )
{
	if( !point )
		return Arg( "null" );
	Append( " %d,%d", point->x, point->y );
}

void CallLog::Arg( float value )
{
	Append( " %g", static_cast< double >( value ) );
}
}
