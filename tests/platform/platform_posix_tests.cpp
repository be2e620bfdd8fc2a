// The POSIX kernel services keep Windows' contract: environment result rules, the DLL directory
// searched before the dynamic loader's own search, "X.dll" read as "libX.so".
#include "platform/platform.h"
#include "tests/support/test_process.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace
{
// A buffer filled with a marker, so that untouched bytes can be told apart.
struct MarkedBuffer
{
	char bytes[ 8 ];
	MarkedBuffer() { std::memset( bytes, '#', sizeof( bytes ) ); }
	bool UntouchedFrom( size_t first ) const
	{
		return std::all_of( bytes + first, bytes + sizeof( bytes ), []( char c ) { return c == '#'; } );
	}
};

int Which( void* library )
{
	auto which = reinterpret_cast< int ( * )() >( platform::FindExport( library, "ProbeWhich" ) );
	return which ? which() : 0;
}

std::string WithBackslashes( std::string path )
{
	std::replace( path.begin(), path.end(), '/', '\\' );
	return path;
}
}

// GetEnvironmentVariableA's rules, with an 8-byte buffer.
TEST( PlatformEnvironment, ResultAndBufferFollowWindowsRules )
{
	struct Case
	{
		const char* value;
		uint32_t result;
		const char* copied; // null: the buffer stays untouched
	} cases[] = {
		{ "abc", 3, "abc" },         // copied with its terminator, nothing past it
		{ "1234567", 7, "1234567" }, // size - 1 characters still fit
		{ "12345678", 9, nullptr },  // does not fit: length + 1
		{ "a much longer value than the buffer", 36, nullptr },
		{ nullptr, 0, nullptr }, // unset
		{ "", 0, nullptr },      // empty
	};
	for( const Case& c : cases )
	{
		SetEnvironmentValue( "UMBRAFEX_PROBE", c.value );
		MarkedBuffer buffer;
		const char* label = c.value ? c.value : "(unset)";
		EXPECT_EQ( c.result, platform::ReadEnvironment( "UMBRAFEX_PROBE", buffer.bytes, sizeof( buffer.bytes ) ) )
		    << label;
		if( c.copied )
		{
			EXPECT_STREQ( c.copied, buffer.bytes ) << label;
		}
		EXPECT_TRUE( buffer.UntouchedFrom( c.copied ? std::strlen( c.copied ) + 1 : 0 ) ) << label;
	}
	// Asking with no buffer is how a caller learns the size it needs.
	SetEnvironmentValue( "UMBRAFEX_PROBE", "a much longer value than the buffer" );
	EXPECT_EQ( 36u, platform::ReadEnvironment( "UMBRAFEX_PROBE", nullptr, 0 ) );
	SetEnvironmentValue( "UMBRAFEX_PROBE", nullptr );
}

// The test runs with the second copy's folder in LD_LIBRARY_PATH, so the loader's own search finds it.
TEST( PlatformLibrary, DirectoryIsSearchedBeforeTheLoadersOwnSearch )
{
	ASSERT_TRUE( platform::SetLibraryDirectory( WithBackslashes( PROBE_FIRST_DIR ).c_str() ) );
	void* library = platform::LoadLibraryFile( "UmbrafexProbe.dll" );
	EXPECT_EQ( 1, Which( library ) );

	ASSERT_TRUE( platform::SetLibraryDirectory( WithBackslashes( PROBE_FIRST_DIR "/" ).c_str() ) );
	EXPECT_EQ( library, platform::LoadLibraryFile( "UmbrafexProbe.dll" ) );
	platform::SetLibraryDirectory( nullptr );
}

TEST( PlatformLibrary, WithoutDirectoryOrMissingThereTheLoadersSearchAnswers )
{
	platform::SetLibraryDirectory( nullptr );
	EXPECT_EQ( 2, Which( platform::LoadLibraryFile( "UmbrafexProbe.dll" ) ) );

	ASSERT_TRUE( platform::SetLibraryDirectory( PROBE_EMPTY_DIR ) );
	EXPECT_EQ( 2, Which( platform::LoadLibraryFile( "UmbrafexProbe.dll" ) ) );
	platform::SetLibraryDirectory( nullptr );
}

TEST( PlatformLibrary, MissingLibraryAndExportGiveNull )
{
	EXPECT_EQ( nullptr, platform::LoadLibraryFile( "UmbrafexNoSuchLibrary.dll" ) );
	EXPECT_EQ( nullptr, platform::LoadLibraryFile( nullptr ) );
	// Only "X.dll" is renamed: the bare name is not "libUmbrafexProbe.so".
	EXPECT_EQ( nullptr, platform::LoadLibraryFile( "UmbrafexProbe" ) );

	void* library = platform::LoadLibraryFile( "UmbrafexProbe.dll" );
	ASSERT_NE( nullptr, library );
	EXPECT_EQ( nullptr, platform::FindExport( library, "NoSuchExport" ) );
	EXPECT_EQ( nullptr, platform::FindExport( nullptr, "ProbeWhich" ) );
}
