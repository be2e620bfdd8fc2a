// The test plug-in as a host sees it: a library loaded at run time, driven only through its exports.
#include "tests/support/gl_helpers.h"
#include "tests/support/gl_test.h"
#include "tests/support/plugmain_calls.h"
#include "tests/support/test_process.h"

#include <cstring>
#include <string>
#include <vector>

typedef void ( *LogCallback )( const char* );
typedef void ( *SetLogCallbackFunction )( LogCallback );

static std::vector< std::string > hostLog;
static const LogCallback kHostLog = []( const char* text ) { hostLog.push_back( text ); };

class PluginLibrary : public GLTest, public PlugMainCalls
{
protected:
	static void SetUpTestSuite()
	{
		library = LoadDynamicLibrary( JoinPath( ExecutableDirectory(), DynamicLibraryFileName( "ffgl_testplugin" ) ),
		                              &loadError );
	}

	void SetUp() override
	{
		GLTest::SetUp();
		ASSERT_NE( nullptr, library ) << loadError;
		plugMain       = DynamicLibraryFunction< PlugMainFunction >( library, "plugMain" );
		setLogCallback = DynamicLibraryFunction< SetLogCallbackFunction >( library, "SetLogCallback" );
		ASSERT_NE( nullptr, plugMain );
		ASSERT_NE( nullptr, setLogCallback );
		hostLog.clear();
	}
	// Whatever a test left alive is ended, and the log callback removed.
	void TearDown() override
	{
		if( instance )
			Call( FF_DEINSTANTIATE_GL, 0, instance );
		if( plugMain )
			Call( FF_DEINITIALISE );
		if( setLogCallback )
			setLogCallback( nullptr );
	}

	static void* library;
	static std::string loadError;
	SetLogCallbackFunction setLogCallback = nullptr;
	void* instance                        = nullptr;
};

void* PluginLibrary::library = nullptr;
std::string PluginLibrary::loadError;

TEST_F( PluginLibrary, AnswersInformationAndParameterQueries )
{
	const PluginInfoStruct* info = static_cast< const PluginInfoStruct* >( Call( FF_GET_INFO, 0 ).PointerValue );
	ASSERT_NE( nullptr, info );
	EXPECT_EQ( 0, std::memcmp( info->PluginUniqueID, "TSPN", 4 ) );
	EXPECT_EQ( 0, std::memcmp( info->PluginName, "FFGL Spine Tests", 16 ) );

	setLogCallback( kHostLog );
	EXPECT_EQ( FF_SUCCESS, Bits( Call( FF_INITIALISE_V2, 0 ) ) );
	EXPECT_EQ( std::vector< std::string >{ "TestPlugin: created" }, hostLog );
	EXPECT_EQ( 7u, Bits( Call( FF_GET_NUM_PARAMETERS, 0 ) ) );
	EXPECT_STREQ( "Caption", static_cast< const char* >( Call( FF_GET_PARAMETER_NAME, 2 ).PointerValue ) );
	EXPECT_EQ( FF_TYPE_FILE, Bits( Call( FF_GET_PARAMETER_TYPE, 3 ) ) );
	EXPECT_EQ( 0x3F000000u, Bits( Call( FF_GET_PARAMETER_DEFAULT, 1 ) ) );
	EXPECT_EQ( kFailBits, Bits( Call( 60, 0 ) ) );

	EXPECT_EQ( FF_SUCCESS, Bits( Call( FF_DEINITIALISE, 0 ) ) );
	EXPECT_EQ( "TestPlugin: destroyed", hostLog.back() );
}

TEST_F( PluginLibrary, RunsAnInstanceOnTheHostContext )
{
	setLogCallback( kHostLog );
	FFGLViewportStruct vp = { 0, 0, 4, 4 };
	FFMixed created       = CallWith( FF_INSTANTIATE_GL, &vp );
	ASSERT_NE( kFailPointer, Bits( created ) );
	instance = created.PointerValue;

	SetParameterStruct set = { 1, MixedFromFloat( 1.f ) };
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_SET_PARAMETER, &set, instance ) ) );
	set = { 2, MixedFromPointer( "caption" ) };
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_SET_PARAMETER, &set, instance ) ) );
	EXPECT_STREQ( "caption", static_cast< const char* >( Call( FF_GET_PARAMETER, 2, instance ).PointerValue ) );
	const char* display = static_cast< const char* >( Call( FF_GET_PARAMETER_DISPLAY, 1, instance ).PointerValue );
	EXPECT_EQ( 0, std::memcmp( display, "1.000000\0\0\0\0\0\0\0\0", 16 ) );

	const ScopedTarget target( MakeTarget( 4, 4 ) );
	const uint8_t black[ 4 ] = { 0, 0, 0, 255 };
	const ScopedTexture texture( MakeTexture( 1, 1, black ) );
	EXPECT_EQ( FF_SUCCESS, Frame( instance, { 1, 1, 1, 1, texture.name }, target ) );
	std::vector< uint8_t > pixels = ReadPixels( target.framebuffer, 4, 4 );
	const uint8_t yellow[ 4 ]     = { 255, 255, 0, 255 };
	EXPECT_EQ( 0, std::memcmp( PixelAt( pixels, 4, 0, 0 ), yellow, 4 ) );

	hostLog.clear();
	EXPECT_EQ( FF_SUCCESS, Bits( Call( FF_DEINSTANTIATE_GL, 0, instance ) ) );
	instance                            = nullptr;
	std::vector< std::string > expected = { "TestPlugin: Disconnect", "TestPlugin: DeInitGL", "TestPlugin: destroyed" };
	EXPECT_EQ( expected, hostLog );
}
