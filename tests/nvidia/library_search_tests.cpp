// The texts of one library search: the "USE_APP_PATH" comparison and the folders under
// ProgramFiles, at the edges of their 260-character buffers.
#include "nvidia/LibrarySearch.h"
#include "tests/support/test_process.h"

#include <cstring>
#include <initializer_list>
#include <gtest/gtest.h>
#include <string>

using bridge::kPathChars;

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
		for( char c : guard )
			if( c != '!' )
				return false;
		return true;
	}
};
}

TEST( LibrarySearch, UseAppPathIsExactWholeTextOfThisRead )
{
	char buffer[ kPathChars ];
	SetEnv( "UMBRAFEX_SEARCH_PROBE", "USE_APP_PATH" );
	EXPECT_TRUE( bridge::IsUseAppPath( "UMBRAFEX_SEARCH_PROBE", buffer ) );
	for( const char* other : { "use_app_path", "USE_APP_PATH ", "USE_APP", "C:\\models" } )
	{
		SetEnv( "UMBRAFEX_SEARCH_PROBE", other );
		EXPECT_FALSE( bridge::IsUseAppPath( "UMBRAFEX_SEARCH_PROBE", buffer ) ) << other;
	}

	// Unset, empty or too long: the buffer still holds the earlier text, which must not count.
	std::strcpy( buffer, "USE_APP_PATH" );
	for( const std::string& value : { std::string(), std::string( kPathChars, 'x' ) } )
	{
		SetEnv( "UMBRAFEX_SEARCH_PROBE", value.empty() ? nullptr : value.c_str() );
		EXPECT_FALSE( bridge::IsUseAppPath( "UMBRAFEX_SEARCH_PROBE", buffer ) );
	}
	SetEnv( "UMBRAFEX_SEARCH_PROBE", nullptr );
}

TEST( LibrarySearch, FoldersUnderProgramFiles )
{
	char value[ kPathChars ];
	GuardedText directory;
	SetEnv( "ProgramFiles", "C:\\Program Files" );
	ASSERT_TRUE( bridge::ProgramFilesFolder( "NVIDIA Video Effects", value, directory.text ) );
	EXPECT_STREQ( "C:\\Program Files\\NVIDIA Corporation\\NVIDIA Video Effects\\", directory.text );

	// Unset reads as the empty text: the folder on the current drive, whatever value held before.
	SetEnv( "ProgramFiles", nullptr );
	ASSERT_TRUE( bridge::ProgramFilesFolder( "NVIDIA Video Effects", value, directory.text ) );
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
		SetEnv( "ProgramFiles", programFiles.c_str() );
		ASSERT_TRUE( bridge::ProgramFilesFolder( c.folder, value, directory.text ) ) << c.folder;
		EXPECT_EQ( kPathChars - 1, std::strlen( directory.text ) );
		EXPECT_EQ( '\\', directory.text[ kPathChars - 2 ] );

		SetEnv( "ProgramFiles", ( programFiles + "p" ).c_str() );
		EXPECT_FALSE( bridge::ProgramFilesFolder( c.folder, value, directory.text ) ) << c.folder;
		EXPECT_TRUE( directory.GuardIntact() );
	}

	// A value too long for its own buffer is not read at all.
	char value[ kPathChars ];
	GuardedText directory;
	SetEnv( "ProgramFiles", std::string( 5000, 'p' ).c_str() );
	EXPECT_FALSE( bridge::ProgramFilesFolder( "NVIDIA AR SDK", value, directory.text ) );
	EXPECT_TRUE( directory.GuardIntact() );
	SetEnv( "ProgramFiles", nullptr );
}
