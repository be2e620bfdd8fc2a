// The host's side of plugMain, against a small plug-in of our own: loading and refusing libraries,
// reading what a plug-in declares, and driving an instance frame by frame on a real GL context.
#include "host/core/gl_frames.h"
#include "host/core/host_log.h"
#include "host/core/plugin_info.h"
#include "host/core/plugin_instance.h"
#include "tests/support/gl_test.h"
#include "tests/support/scope_end.h"
#include "tests/support/test_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

using namespace ffglhost;

static std::string TestLibrary( const char* name )
{
	return JoinPath( ExecutableDirectory(), DynamicLibraryFileName( name ) );
}

static bool Logged( const std::string& line )
{
	const auto& lines = CollectedLogLines();
	return std::find( lines.begin(), lines.end(), line ) != lines.end();
}

TEST( PluginLoading, RefusesWhatIsNotAnFfgl2PlugIn )
{
	PluginLibrary library;
	std::string error;
	EXPECT_FALSE( library.Open( TestLibrary( "no_such_plugin" ), &error ) );
	EXPECT_NE( error.find( "No such file" ), std::string::npos ) << error;

	EXPECT_FALSE( library.Open( TestLibrary( "host_not_a_plugin" ), &error ) );
	EXPECT_NE( error.find( "not an FFGL plug-in" ), std::string::npos ) << error;

	// A file with the right name that no loader accepts.
	const std::string fake = JoinPath( ExecutableDirectory(), "host_fake_plugin.bin" );
	ASSERT_TRUE( WriteFile( fake, "not a library" ) );
	EXPECT_FALSE( library.Open( fake, &error ) );
	EXPECT_NE( error.find( "cannot load" ), std::string::npos ) << error;
	RemoveFile( fake );

	SetEnvironmentValue( "HOST_TEST_PLUGIN_API", "1" );
	EXPECT_FALSE( library.Open( TestLibrary( "host_test_plugin" ), &error ) );
	SetEnvironmentValue( "HOST_TEST_PLUGIN_API", nullptr );
	EXPECT_NE( error.find( "FFGL 1.1 plug-in" ), std::string::npos ) << error;
	EXPECT_FALSE( library.IsOpen() );

	ASSERT_TRUE( library.Open( TestLibrary( "host_test_plugin" ), &error ) ) << error;
	EXPECT_TRUE( library.IsOpen() );
}

// A load that fails names the file and passes on the loader's own reason: dlerror's text, or Windows'
// words for the error with its number.
TEST( PluginLoading, FailuresCarryTheLoadersReason )
{
	const std::string junk    = JoinPath( ExecutableDirectory(), "host_junk_library.bin" );
	const std::string missing = JoinPath( ExecutableDirectory(), "host_missing_library.bin" );
	AtScopeEnd removeJunk( [ & ] { RemoveFile( junk ); } );
	ASSERT_TRUE( WriteFile( junk, std::string( 256, 'x' ) ) ); // long enough to be read as a header
	struct Case
	{
		const std::string& path;
		bool plugin; // through PluginLibrary::Open, else LoadDynamicLibrary
		const char* linuxReason;
		const char* windowsReason;
	} const cases[] = {
		{ junk, false, "^invalid ELF header$", "^[^:]+ \\(error 193\\)$" },
		{ missing, false, "^cannot open shared object file: No such file or directory$", "^[^:]+ \\(error 126\\)$" },
		{ junk, true, "^invalid ELF header$", "^[^:]+ \\(error 193\\)$" },
	};
	for( const Case& c : cases )
	{
		std::string error;
		PluginLibrary library;
		EXPECT_FALSE( c.plugin ? library.Open( c.path, &error ) : LoadDynamicLibrary( c.path, &error ) != nullptr );
		const std::string prefix = "cannot load " + c.path + ": ";
		ASSERT_EQ( 0u, error.find( prefix ) ) << error;
		const char* reason = PathSeparator() == '\\' ? c.windowsReason : c.linuxReason;
		EXPECT_TRUE( std::regex_search( error.substr( prefix.size() ), std::regex( reason ) ) ) << error;
	}
}

TEST( PluginLoading, DescribesInformationCapabilitiesAndParameters )
{
	PluginLibrary library;
	std::string error;
	ASSERT_TRUE( library.Open( TestLibrary( "host_test_plugin" ), &error ) ) << error;
	PluginDescription d;
	ASSERT_TRUE( DescribePlugin( library, &d, &error ) ) << error;
	EXPECT_EQ( d.identifier, "HTST" );
	EXPECT_EQ( d.name, "Host Test" );
	EXPECT_EQ( d.apiMajor, 2u );
	EXPECT_EQ( d.apiMinor, 1u );
	EXPECT_EQ( d.type, FF_EFFECT );
	EXPECT_EQ( d.description, "Pass-through for host tests" );
	EXPECT_EQ( d.minInputs, 1u );
	EXPECT_EQ( d.maxInputs, 1u );
	EXPECT_FALSE( d.topLeft );
	ASSERT_EQ( d.parameters.size(), 3u );
	EXPECT_EQ( d.parameters[ 0 ].name, "Gain" );
	EXPECT_EQ( ParameterTypeName( d.parameters[ 0 ].type ), "standard" );
	EXPECT_FLOAT_EQ( d.parameters[ 0 ].defaultValue, 0.75f );
	EXPECT_TRUE( d.parameters[ 0 ].hasRange );
	EXPECT_FLOAT_EQ( d.parameters[ 0 ].max, 1.f );
	EXPECT_EQ( ParameterTypeName( d.parameters[ 1 ].type ), "boolean" );
	EXPECT_EQ( ParameterTypeName( d.parameters[ 2 ].type ), "text" );
	EXPECT_EQ( d.parameters[ 2 ].defaultText, "none" );
	EXPECT_EQ( FindParameter( d, "Clear" ), &d.parameters[ 1 ] );
	EXPECT_EQ( FindParameter( d, "clear" ), nullptr );
	EXPECT_EQ( ParameterNameList( d ), "\"Gain\", \"Clear\", \"Label\"" );
}

TEST( PluginLoading, NamesAndFieldsWithoutTerminatorAreBounded )
{
	const char field[ 6 ] = { 'A', 'B', 'C', 'D', 'E', 'F' };
	EXPECT_EQ( BoundedText( field, 4 ), "ABCD" );
	EXPECT_EQ( BoundedText( "AB", 4 ), "AB" );
	EXPECT_EQ( BoundedText( nullptr, 4 ), "" );
}

class PluginFrames : public GLTest
{
protected:
	void SetUp() override
	{
		GLTest::SetUp();
		ClearCollectedLogLines();
		std::string error;
		ASSERT_TRUE( library.Open( TestLibrary( "host_test_plugin" ), &error ) ) << error;
		ASSERT_TRUE( library.InstallLogCallback( CollectLogLine ) );
		ASSERT_TRUE( InitialisePlugin( library, &error ) ) << error;
	}
	void TearDown() override
	{
		instance.Destroy();
		ReleaseGLFrames( frames );
		DeinitialisePlugin( library );
		library.Close();
		SetEnvironmentValue( "HOST_TEST_PLUGIN_FAIL", nullptr );
	}

	// A picture whose every pixel differs from its neighbours and from its mirror images.
	static Picture Pattern( int w, int h )
	{
		Picture p;
		ResizePicture( p, w, h );
		for( int y = 0; y < h; ++y )
			for( int x = 0; x < w; ++x )
			{
				uint8_t* px = PixelAt( p, x, y );
				px[ 0 ]     = static_cast< uint8_t >( 10 + x * 20 );
				px[ 1 ]     = static_cast< uint8_t >( 5 + y * 40 );
				px[ 2 ]     = static_cast< uint8_t >( x * y );
				px[ 3 ]     = 255;
			}
		return p;
	}

	bool RunFrame( const Picture& input, Picture& output )
	{
		UploadInput( frames, input );
		PrepareOutput( frames );
		const bool ok = instance.Process( frames.inputTexture, static_cast< uint32_t >( frames.width ),
		                                  static_cast< uint32_t >( frames.height ), frames.framebuffer );
		glFinish();
		ReadOutput( frames, output );
		return ok;
	}

	PluginLibrary library;
	PluginInstance instance;
	GLFrames frames;
};

TEST_F( PluginFrames, PassThroughKeepsEveryPixelInPictureOrder )
{
	std::string error;
	ASSERT_TRUE( CreateGLFrames( frames, 5, 3, &error ) ) << error;
	ASSERT_TRUE( instance.Create( library, 5, 3, &error ) ) << error;
	EXPECT_TRUE( Logged( "instantiated 5x3" ) );
	EXPECT_TRUE( Logged( "host ffglhost" ) );
	const Picture input = Pattern( 5, 3 );
	Picture output;
	for( int frame = 0; frame < 3; ++frame )
	{
		ASSERT_TRUE( RunFrame( input, output ) ) << "the plug-in found the host's state wrong";
		EXPECT_EQ( output.rgba, input.rgba ) << frame;
	}
	instance.Destroy();
	EXPECT_TRUE( Logged( "deinstantiated after 3 frames" ) );
}

TEST_F( PluginFrames, ParametersReachTheInstanceAndRefusalsAreReported )
{
	std::string error;
	ASSERT_TRUE( CreateGLFrames( frames, 4, 4, &error ) ) << error;
	ASSERT_TRUE( instance.Create( library, 4, 4, &error ) ) << error;
	EXPECT_EQ( instance.ParameterDisplay( 0 ), "gain 0.75" );
	EXPECT_TRUE( instance.SetFloatParameter( 0, 0.25f ) );
	EXPECT_TRUE( Logged( "set Gain=0.25" ) );
	EXPECT_EQ( instance.ParameterDisplay( 0 ), "gain 0.25" );
	EXPECT_EQ( instance.ParameterDisplay( 1 ), "" );
	EXPECT_FALSE( instance.SetFloatParameter( 0, 2.f ) );
	EXPECT_FALSE( instance.SetFloatParameter( 7, 0.f ) );
	EXPECT_TRUE( instance.SetTextParameter( 2, "hello there" ) );
	EXPECT_TRUE( Logged( "set Label=hello there" ) );

	// "Clear" fills with premultiplied half-transparent blue; the file gets straight alpha.
	ASSERT_TRUE( instance.SetFloatParameter( 1, 1.f ) );
	Picture output;
	ASSERT_TRUE( RunFrame( Pattern( 4, 4 ), output ) );
	const uint8_t* p = PixelAt( output, 3, 0 );
	EXPECT_EQ( p[ 2 ], 128 );
	EXPECT_EQ( p[ 3 ], 128 );
	Unpremultiply( output );
	EXPECT_EQ( p[ 0 ], 0 );
	EXPECT_EQ( p[ 2 ], 255 );
	EXPECT_EQ( p[ 3 ], 128 );
}

TEST_F( PluginFrames, ResizedFramesGoToAFramebufferOfTheNewSize )
{
	std::string error;
	ASSERT_TRUE( CreateGLFrames( frames, 6, 2, &error ) ) << error;
	ASSERT_TRUE( instance.Create( library, 6, 2, &error ) ) << error;
	Picture output;
	ASSERT_TRUE( RunFrame( Pattern( 6, 2 ), output ) );
	ASSERT_TRUE( CreateGLFrames( frames, 3, 7, &error ) ) << error;
	EXPECT_TRUE( instance.Resize( 3, 7 ) );
	EXPECT_TRUE( Logged( "resized 3x7" ) );
	const Picture input = Pattern( 3, 7 );
	ASSERT_TRUE( RunFrame( input, output ) );
	EXPECT_EQ( output.width, 3 );
	EXPECT_EQ( output.height, 7 );
	EXPECT_EQ( output.rgba, input.rgba );
}

TEST_F( PluginFrames, FailuresOfThePlugInAreResultsNotCrashes )
{
	std::string error;
	ASSERT_TRUE( CreateGLFrames( frames, 4, 4, &error ) ) << error;
	SetEnvironmentValue( "HOST_TEST_PLUGIN_FAIL", "instantiate" );
	EXPECT_FALSE( instance.Create( library, 4, 4, &error ) );
	EXPECT_NE( error.find( "failed to instantiate" ), std::string::npos ) << error;
	EXPECT_FALSE( instance.IsCreated() );
	EXPECT_FALSE( instance.SetFloatParameter( 0, 0.5f ) );
	Picture output;
	EXPECT_FALSE( RunFrame( Pattern( 4, 4 ), output ) );

	SetEnvironmentValue( "HOST_TEST_PLUGIN_FAIL", "process" );
	ASSERT_TRUE( instance.Create( library, 4, 4, &error ) ) << error;
	EXPECT_TRUE( RunFrame( Pattern( 4, 4 ), output ) );
	EXPECT_TRUE( RunFrame( Pattern( 4, 4 ), output ) );
	EXPECT_FALSE( RunFrame( Pattern( 4, 4 ), output ) );

	SetEnvironmentValue( "HOST_TEST_PLUGIN_FAIL", "initialise" );
	EXPECT_FALSE( InitialisePlugin( library, &error ) );
	EXPECT_NE( error.find( "FF_INITIALISE_V2" ), std::string::npos ) << error;
}
