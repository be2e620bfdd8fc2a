#include "runtime/test_controls.h"

#include "runtime/os.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace refrt
{
namespace
{
const int kMaxFailEntries = 32;
const int kMaxNameLength  = 64;

struct FailEntry
{
	char name[ kMaxNameLength ];
	unsigned long callToFail; // 0: every call
	std::atomic< unsigned long > calls;
};

struct Controls
{
	FailEntry fail[ kMaxFailEntries ];
	int failCount        = 0;
	int matte            = -1;
	char logPath[ 1024 ] = {};

	Controls();
};

void AddFailEntry( Controls& controls, const char* text, size_t length )
{
	while( length > 0 && *text == ' ' )
	{
		++text;
		--length;
	}
	while( length > 0 && text[ length - 1 ] == ' ' )
		--length;
	if( length == 0 || controls.failCount == kMaxFailEntries )
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
	if( nameLength == 0 || nameLength >= static_cast< size_t >( kMaxNameLength ) )
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
