#include "runtime/call_log.h"

#include "runtime/test_controls.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace refrt
{
// Lines of concurrent calls must not interleave.
static std::mutex logMutex;

CallLog::CallLog( const char* exportName )
	: enabled( LogPath() != nullptr )
{
	line[ 0 ] = 0;
	if( enabled )
		Append( exportName );
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

void CallLog::Append( const char* text )
{
	size_t n = std::strlen( text );
	if( n > sizeof( line ) - 1 - length )
		n = sizeof( line ) - 1 - length;
	std::memcpy( line + length, text, n );
	length += n;
	line[ length ] = 0;
}

CallLog& CallLog::Text( const char* text )
{
	if( enabled )
	{
		Append( " " );
		Append( text ? text : "null" );
	}
	return *this;
}

CallLog& CallLog::Int( long long value )
{
	if( enabled )
	{
		char text[ 32 ];
		std::snprintf( text, sizeof( text ), " %lld", value );
		Append( text );
	}
	return *this;
}

CallLog& CallLog::Float( double value )
{
	if( enabled )
	{
		char text[ 64 ];
		std::snprintf( text, sizeof( text ), " %g", value );
		Append( text );
	}
	return *this;
}

CallLog& CallLog::Pointer( const void* pointer )
{
	if( !enabled )
		return *this;
	if( !pointer )
		return Text( "null" );
	// Written by hand: "%p" differs between C runtimes (case, "0x", padding).
	static const char kDigits[] = "0123456789abcdef";
	uintptr_t value            = reinterpret_cast< uintptr_t >( pointer );
	char text[ 24 ];
	char* end = text + sizeof( text );
	char* p   = end;
	*--p      = 0;
	do
	{
		*--p = kDigits[ value & 15 ];
		value >>= 4;
	} while( value );
	*--p = 'x';
	*--p = '0';
	*--p = ' ';
	Append( p );
	return *this;
}

CallLog& CallLog::Rect( const NvCVRect2i* rect )
{
	if( !enabled )
		return *this;
	if( !rect )
		return Text( "null" );
	char text[ 64 ];
	std::snprintf( text, sizeof( text ), " %d,%d,%d,%d", rect->x, rect->y, rect->width, rect->height );
	Append( text );
	return *this;
}

CallLog& CallLog::Point( const NvCVPoint2i* point )
{
	if( !enabled )
		return *this;
	if( !point )
		return Text( "null" );
	char text[ 32 ];
	std::snprintf( text, sizeof( text ), " %d,%d", point->x, point->y );
	Append( text );
	return *this;
}
}
