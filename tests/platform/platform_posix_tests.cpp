// The POSIX kernel services keep Windows' contract: environment result rules, the DLL directory
// searched before the dynamic loader's own search, "X.dll" read as "libX.so".
#include "platform/platform.h"
#include "tests/support/test_process.h"

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
	bool Untouched() const
	{
		for( char c : bytes )
			if( c != '#' )
				return false;
		return true;
	}
};

int Which( void* library )
{
	auto which = reinterpret_cast< int ( * )() >( platform::FindExport( library, "ProbeWhich" ) );
	return which ? which() : 0;
}

std::string WithBackslashes( std::string path )
{
	for( char& c : path )
		if( c == '/' )
			c = '\\';
	return path;
}
}

TEST( PlatformEnvironment, ValueThatFitsIsCopiedWithItsTerminator )
{
	SetEnvironmentValue( "UMBRAFEX_PROBE", "abc" );
	MarkedBuffer buffer;
	EXPECT_EQ( 3u, platform::ReadEnvironment( "UMBRAFEX_PROBE", buffer.bytes, sizeof( buffer.bytes ) ) );
	EXPECT_STREQ( "abc", buffer.bytes );
	EXPECT_EQ( '#', buffer.bytes[ 4 ] );
}

TEST( PlatformEnvironment, ValueOfSizeMinusOneStillFits )
{
	SetEnvironmentValue( "UMBRAFEX_PROBE", "1234567" );
	MarkedBuffer buffer;
	EXPECT_EQ( 7u, platform::ReadEnvironment( "UMBRAFEX_PROBE", buffer.bytes, sizeof( buffer.bytes ) ) );
	EXPECT_STREQ( "1234567", buffer.bytes );
}

TEST( PlatformEnvironment, ValueThatDoesNotFitGivesLengthPlusOneAndLeavesBuffer )
{
	SetEnvironmentValue( "UMBRAFEX_PROBE", "12345678" );
	MarkedBuffer buffer;
	EXPECT_EQ( 9u, platform::ReadEnvironment( "UMBRAFEX_PROBE", buffer.bytes, sizeof( buffer.bytes ) ) );
	EXPECT_TRUE( buffer.Untouched() );

	SetEnvironmentValue( "UMBRAFEX_PROBE", "a much longer value than the buffer" );
	EXPECT_EQ( 36u, platform::ReadEnvironment( "UMBRAFEX_PROBE", buffer.bytes, sizeof( buffer.bytes ) ) );
	EXPECT_TRUE( buffer.Untouched() );
	// Asking with no buffer is how a caller learns the size it needs.
	EXPECT_EQ( 36u, platform::ReadEnvironment( "UMBRAFEX_PROBE", nullptr, 0 ) );
}

TEST( PlatformEnvironment, UnsetAndEmptyGiveZeroAndLeaveBuffer )
{
	SetEnvironmentValue( "UMBRAFEX_PROBE", nullptr );
	MarkedBuffer buffer;
	EXPECT_EQ( 0u, platform::ReadEnvironment( "UMBRAFEX_PROBE", buffer.bytes, sizeof( buffer.bytes ) ) );
	EXPECT_TRUE( buffer.Untouched() );

	SetEnvironmentValue( "UMBRAFEX_PROBE", "" );
	EXPECT_EQ( 0u, platform::ReadEnvironment( "UMBRAFEX_PROBE", buffer.bytes, sizeof( buffer.bytes ) ) );
	EXPECT_TRUE( buffer.Untouched() );
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
