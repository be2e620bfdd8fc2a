// The two text outlets: the host's log callback and the debug line on standard output.
#include "tests/ffgl/spine_fixture.h"
#include "tests/support/test_process.h"

#include <string>
#include <vector>

static std::vector< std::string > firstLines, secondLines;
static const FFGLLogCallback kFirstCallback  = []( const char* text ) { firstLines.push_back( text ); };
static const FFGLLogCallback kSecondCallback = []( const char* text ) { secondLines.push_back( text ); };

class LogChannel : public SpineTest
{
protected:
	void SetUp() override
	{
		SpineTest::SetUp();
		firstLines.clear();
		secondLines.clear();
	}
};

TEST_F( LogChannel, EachCreationIsDeliveredOnceToTheInstalledCallback )
{
	// Nothing installed: the prototype is made all the same, and the line is dropped, not queued.
	EXPECT_EQ( FF_SUCCESS, Bits( Call( FF_INITIALISE_V2 ) ) );
	Call( FF_DEINITIALISE );
	SetLogCallback( kFirstCallback );
	EXPECT_TRUE( firstLines.empty() );

	Call( FF_GET_NUM_PARAMETERS );
	Call( FF_GET_NUM_PARAMETERS );
	ASSERT_EQ( 1u, firstLines.size() );
	EXPECT_EQ( "TestPlugin: created", firstLines[ 0 ] );

	// A second callback replaces the first; null switches logging off.
	SetLogCallback( kSecondCallback );
	Call( FF_DEINITIALISE );
	EXPECT_EQ( 1u, firstLines.size() );
	ASSERT_EQ( 1u, secondLines.size() );
	EXPECT_EQ( "TestPlugin: destroyed", secondLines[ 0 ] );
	SetLogCallback( nullptr );
	Call( FF_INITIALISE_V2 );
	LogToHost( "Umbrafex: dropped" );
	EXPECT_EQ( 1u, firstLines.size() );
	EXPECT_EQ( 1u, secondLines.size() );
}

TEST_F( LogChannel, TextsArePassedAsTheyAreAndNullNever )
{
	SetLogCallback( kFirstCallback );
	LogToHost( nullptr );
	EXPECT_TRUE( firstLines.empty() );
	LogToHost( "" );
	LogToHost( "Umbrafex: NvVFX_Load failed (modeles introuvables ?)" );
	ASSERT_EQ( 2u, firstLines.size() );
	EXPECT_EQ( "", firstLines[ 0 ] );
	EXPECT_EQ( "Umbrafex: NvVFX_Load failed (modeles introuvables ?)", firstLines[ 1 ] );
}

TEST_F( LogChannel, DebugLineWritesALineToStandardOutputOnly )
{
	SetLogCallback( kFirstCallback );
	StdoutCapture capture;
	capture.Start();
	DebugLine( "" );
	DebugLine( "plain" );
	DebugLine( "Vertex Shader error: ", "0:1: syntax error" );
	DebugLine( nullptr, "tail" );
	DebugLine( "head: ", nullptr );
	std::string out = capture.Stop();
	EXPECT_EQ( "\nplain\nVertex Shader error: 0:1: syntax error\ntail\nhead: \n", out );
	EXPECT_TRUE( firstLines.empty() );
}
