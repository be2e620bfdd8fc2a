// The texts of one library search: the "USE_APP_PATH" comparison and the folders under
// ProgramFiles, at the edges of their 260-character buffers.
#include "nvidia/library_search.h"
#include "tests/support/test_process.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>

using nvidia::kPathChars;

namespace
{
// A 260-character text with guard bytes behind it, to see a write past its end.
struct GuardedText
{
	char text[ kPathChars ];
	char guard[ 16 ];
	GuardedText()
	{
		std::memset( text, '#', sizeof( text ) );
		std::memset( guard, '!', sizeof( guard ) );
	}
	bool GuardIntact() const
	{
		return std::all_of( guard, guard + sizeof( guard ), []( char c ) { return c == '!'; } );
	}
};
}

TEST( LibrarySearch, UseAppPathIsExactWholeTextOfThisRead )
{
	char buffer[ kPathChars ];
	SetEnvironmentValue( "UMBRAFEX_SEARCH_PROBE", "USE_APP_PATH" );
	EXPECT_TRUE( nvidia::IsUseAppPath( "UMBRAFEX_SEARCH_PROBE", buffer ) );
	for( const char* other : { "use_app_path", "USE_APP_PATH ", "USE_APP", "C:\\models" } )
	{
		SetEnvironmentValue( "UMBRAFEX_SEARCH_PROBE", other );
		EXPECT_FALSE( nvidia::IsUseAppPath( "UMBRAFEX_SEARCH_PROBE", buffer ) ) << other;
	}

	// Unset, empty or too long: the buffer still holds the earlier text, which must not count.
	std::strcpy( buffer, "USE_APP_PATH" );
	for( const std::string& value : { std::string(), std::string( kPathChars, 'x' ) } )
	{
		SetEnvironmentValue( "UMBRAFEX_SEARCH_PROBE", value.empty() ? nullptr : value.c_str() );
		EXPECT_FALSE( nvidia::IsUseAppPath( "UMBRAFEX_SEARCH_PROBE", buffer ) );
	}
	SetEnvironmentValue( "UMBRAFEX_SEARCH_PROBE", nullptr );
}

TEST( LibrarySearch, FoldersUnderProgramFiles )
{
	char value[ kPathChars ];
	GuardedText directory;
	SetEnvironmentValue( "ProgramFiles", "C:\\Program Files" );
	ASSERT_TRUE( nvidia::ProgramFilesFolder( "NVIDIA Video Effects", value, directory.text ) );
	EXPECT_STREQ( "C:\\Program Files\\NVIDIA Corporation\\NVIDIA Video Effects\\", directory.text );

	// Unset reads as the empty text: the folder on the current drive, whatever value held before.
	SetEnvironmentValue( "ProgramFiles", nullptr );
	ASSERT_TRUE( nvidia::ProgramFilesFolder( "NVIDIA Video Effects", value, directory.text ) );
	EXPECT_STREQ( "\\NVIDIA Corporation\\NVIDIA Video Effects\\", directory.text );
}

TEST( LibrarySearch, FolderThatWouldNotFitIsRefusedNeverCutNorOverrun )
{
	struct Case
	{
		const char* folder;
		size_t longestFitting; // 259 characters minus the fixed part
	};
	for( Case c : { Case{ "NVIDIA Video Effects", 218 }, Case{ "NVIDIA AR SDK", 225 } } )
	{
		char value[ kPathChars ];
		GuardedText directory;
		std::string programFiles( c.longestFitting, 'p' );
		SetEnvironmentValue( "ProgramFiles", programFiles.c_str() );
		ASSERT_TRUE( nvidia::ProgramFilesFolder( c.folder, value, directory.text ) ) << c.folder;
		EXPECT_EQ( kPathChars - 1, std::strlen( directory.text ) );
		EXPECT_EQ( '\\', directory.text[ kPathChars - 2 ] );

		SetEnvironmentValue( "ProgramFiles", ( programFiles + "p" ).c_str() );
		EXPECT_FALSE( nvidia::ProgramFilesFolder( c.folder, value, directory.text ) ) << c.folder;
		EXPECT_TRUE( directory.GuardIntact() );
	}

	// A value too long for its own buffer is not read at all.
	char value[ kPathChars ];
	GuardedText directory;
	SetEnvironmentValue( "ProgramFiles", std::string( 5000, 'p' ).c_str() );
	EXPECT_FALSE( nvidia::ProgramFilesFolder( "NVIDIA AR SDK", value, directory.text ) );
	EXPECT_TRUE( directory.GuardIntact() );
	SetEnvironmentValue( "ProgramFiles", nullptr );
}
