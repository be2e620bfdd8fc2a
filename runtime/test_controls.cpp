#include "runtime/test_controls.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace refrt
{
namespace
{
const int maxFailEntries = 32;
const int maxNameLength  = 64;

struct FailEntry
{
	char name[ maxNameLength ];
	unsigned long callToFail; // 0: every call
	std::atomic< unsigned long > calls;
};

struct Controls
{
	FailEntry fail[ maxFailEntries ];
	int failCount = 0;
	int matte     = -1;
	char logPath[ 1024 ] = {};

	Controls();
};

// GetEnvironmentVariableA on Windows: a test sets its variables in-process just before the load.
bool ReadVariable( const char* name, char* buffer, unsigned size )
{
	buffer[ 0 ] = 0;
#ifdef _WIN32
	DWORD n = GetEnvironmentVariableA( name, buffer, size );
	if( n == 0 || n >= size )
	{
		buffer[ 0 ] = 0;
		return false;
	}
	return true;
#else
	const char* value = std::getenv( name );
	if( !value || !*value || std::strlen( value ) >= size )
		return false;
	std::memcpy( buffer, value, std::strlen( value ) + 1 );
	return true;
#endif
}

void AddFailEntry( Controls& controls, const char* text, size_t length )
{
	while( length > 0 && *text == ' ' )
	{
		++text;
		--length;
	}
	while( length > 0 && text[ length - 1 ] == ' ' )
		--length;
	if( length == 0 || controls.failCount == maxFailEntries )
		return;
	const char* at           = static_cast< const char* >( std::memchr( text, '@', length ) );
	size_t nameLength        = at ? static_cast< size_t >( at - text ) : length;
	unsigned long callToFail = 0;
	if( at )
	{
		char digits[ 16 ] = {};
		size_t count      = length - nameLength - 1;
		if( count == 0 || count >= sizeof( digits ) )
			return;
		std::memcpy( digits, at + 1, count );
		char* end  = nullptr;
		callToFail = std::strtoul( digits, &end, 10 );
		// "NAME@0" or "NAME@x" would otherwise read as "every call": ignore the entry.
		if( *end || callToFail == 0 )
			return;
	}
	if( nameLength == 0 || nameLength >= static_cast< size_t >( maxNameLength ) )
		return;
	FailEntry& entry = controls.fail[ controls.failCount++ ];
	std::memcpy( entry.name, text, nameLength );
	entry.name[ nameLength ] = 0;
	entry.callToFail         = callToFail;
	entry.calls              = 0;
}

Controls::Controls()
{
	char text[ 4096 ];
	if( ReadVariable( "REFRT_FAIL", text, sizeof( text ) ) )
	{
		const char* start = text;
		for( const char* p = text;; ++p )
		{
			if( *p == ',' || *p == 0 )
			{
				AddFailEntry( *this, start, static_cast< size_t >( p - start ) );
				if( *p == 0 )
					break;
				start = p + 1;
			}
		}
	}
	char number[ 16 ];
	if( ReadVariable( "REFRT_MATTE", number, sizeof( number ) ) )
	{
		char* end  = nullptr;
		long value = std::strtol( number, &end, 10 );
		if( *end == 0 && value >= 0 && value <= 255 )
			matte = static_cast< int >( value );
	}
	ReadVariable( "REFRT_LOG", logPath, sizeof( logPath ) );
}

// Built by the library's static initialisation, that is when the library is loaded.
Controls controls;
}

bool FailCall( const char* exportName )
{
	bool fail = false;
	for( int i = 0; i < controls.failCount; ++i )
	{
		FailEntry& entry = controls.fail[ i ];
		if( std::strcmp( entry.name, exportName ) != 0 )
			continue;
		unsigned long call = ++entry.calls;
		if( entry.callToFail == 0 || entry.callToFail == call )
			fail = true;
	}
	return fail;
}

int MatteOverride()
{
	return controls.matte;
}

const char* LogPath()
{
	return controls.logPath[ 0 ] ? controls.logPath : nullptr;
}
}
