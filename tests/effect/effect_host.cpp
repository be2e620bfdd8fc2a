#include "tests/effect/effect_host.h"

#include "tests/support/test_process.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

static const std::string kPluginFile = DynamicLibraryFileName( "Umbrafex_TAVLEN" );

typedef void ( *SetLogCallbackFunction )( void ( *callback )( const char* ) );

// One library, one scenario, one log per process.
struct HostState
{
	std::string scenario;
	std::string root;
	PlugMainFunction plugMain = nullptr;
	std::vector< std::string > lines;
};
static HostState host;

static void CollectLine( const char* text )
{
	host.lines.push_back( text );
}

// Copies the runtime where the plug-in looks for the vendor's, points the environment at it and
// loads the product library: all before the first plugMain call, which already searches.
static std::string LayOut( const Scenario& scenario )
{
	const std::string exe = ExecutableDirectory();
	host.root             = JoinPath( JoinPath( exe, "scenarios" ), scenario.name );
	if( !MakeDirectories( host.root ) )
		return "cannot create " + host.root;
	if( scenario.runtime )
	{
		const std::string folder = JoinPath( JoinPath( host.root, "NVIDIA Corporation" ), "NVIDIA Video Effects" );
		const std::string built  = JoinPath( exe, "refrt" );
		const std::string effects =
		    JoinPath( scenario.noStreamExport ? JoinPath( built, "nostream" ) : built, kEffectsFile );
		if( !MakeDirectories( folder ) ||
		    !CopyFileTo( JoinPath( built, kImageFile ), JoinPath( folder, kImageFile ) ) ||
		    !CopyFileTo( effects, JoinPath( folder, kEffectsFile ) ) || !PlaceInferenceLibrary( built, folder ) )
			return "cannot lay the runtime out in " + folder;
	}
	if( scenario.models && !MakeDirectories( JoinPath( host.root, "models" ) ) )
		return "cannot create the models folder";
	const std::string callLog = JoinPath( host.root, "calls.log" );
	RemoveFile( callLog );
	SetEnvironmentValue( "ProgramFiles", host.root.c_str() );
	SetEnvironmentValue( "NV_VIDEO_EFFECTS_PATH", host.root.c_str() );
	SetEnvironmentValue( "NV_AR_SDK_PATH", nullptr );
	SetEnvironmentValue( "REFRT_LOG", callLog.c_str() );
	SetEnvironmentValue( "REFRT_FAIL", scenario.fail );
	SetEnvironmentValue( "REFRT_MATTE", nullptr );

	std::string error;
	void* library = LoadDynamicLibrary( JoinPath( exe, kPluginFile ), &error );
	if( !library )
		return error;
	host.plugMain       = DynamicLibraryFunction< PlugMainFunction >( library, "plugMain" );
	auto setLogCallback = DynamicLibraryFunction< SetLogCallbackFunction >( library, "SetLogCallback" );
	if( !host.plugMain || !setLogCallback )
		return kPluginFile + " exports no plugMain or SetLogCallback";
	setLogCallback( &CollectLine );
	if( MixedLowBits( host.plugMain( FF_INITIALISE_V2, HostNumber( 0 ), nullptr ) ) != FF_SUCCESS )
		return "FF_INITIALISE_V2 failed";
	return std::string();
}

void EffectTest::UseScenario( const Scenario& scenario )
{
	GLTest::SetUp();
	if( HasFatalFailure() )
		return;
	if( host.scenario.empty() )
	{
		const std::string error = LayOut( scenario );
		ASSERT_EQ( "", error );
		host.scenario = scenario.name;
	}
	if( host.scenario != scenario.name )
		GTEST_SKIP() << "the scenario " << scenario.name << " runs in a process of its own (--gtest_filter)";
	plugMain = host.plugMain;
	host.lines.clear();
}

void EffectTest::TearDown()
{
	EXPECT_EQ( 0, instances.DeinstantiateAll( *this ) ) << "FF_DEINSTANTIATE_GL failed at the end";
	glBindFramebuffer( GL_FRAMEBUFFER, 0 );
}

FFInstanceID EffectTest::Instantiate( int width, int height )
{
	const FFGLViewportStruct viewport = { 0, 0, static_cast< uint32_t >( width ), static_cast< uint32_t >( height ) };
	const FFMixed answer              = instances.Instantiate( *this, viewport );
	if( !IsInstance( answer ) )
	{
		ADD_FAILURE() << "FF_INSTANTIATE_GL failed";
		return nullptr;
	}
	return answer.PointerValue;
}

FFInstanceID EffectTest::InstantiateUnsmoothed()
{
	FFInstanceID instance = Instantiate();
	EXPECT_EQ( FF_SUCCESS, SetParameter( instance, kStability, 0.0f ) );
	return instance;
}

void EffectTest::Deinstantiate( FFInstanceID instance )
{
	EXPECT_EQ( FF_SUCCESS, MixedLowBits( instances.Deinstantiate( *this, instance ) ) );
}

const std::vector< std::string >& EffectTest::Lines()
{
	return host.lines;
}

int EffectTest::LineCount( const char* text )
{
	return static_cast< int >( std::count( host.lines.begin(), host.lines.end(), text ) );
}

size_t EffectTest::CallLogMark()
{
	return ReadFile( JoinPath( host.root, "calls.log" ) ).size();
}

std::string EffectTest::CallLogSince( size_t mark )
{
	const std::string text = ReadFile( JoinPath( host.root, "calls.log" ) );
	return mark < text.size() ? text.substr( mark ) : std::string();
}

int EffectTest::Occurrences( const std::string& text, const std::string& needle )
{
	int count = 0;
	for( size_t at = text.find( needle ); at != std::string::npos; at = text.find( needle, at + 1 ) )
		++count;
	return count;
}

Picture EffectTest::Split( int w, int h )
{
	return MakePicture( w, h, [ w ]( int x, int ) { return x < w / 2 ? kPersonRed : kBackdrop; } );
}

bool EffectTest::Matted( FFInstanceID instance, const Picture& input, const TestTarget& target )
{
	EXPECT_EQ( FF_SUCCESS, Frame( instance, input, target ) );
	const Output out = ReadOutput( target );
	const Rgba right = out.At( out.width - 1, out.height / 2 );
	EXPECT_TRUE( SameColour( kPersonRed, out.At( 0, out.height / 2 ) ) );
	EXPECT_TRUE( Near( right, kBackdrop ) || Near( right, kTransparent ) );
	return Near( right, kTransparent );
}

std::string EffectTest::ScenarioRoot()
{
	return host.root;
}

Picture MakePicture( int width, int height, const std::function< Rgba( int x, int y ) >& colour, int hardwareWidth,
                     int hardwareHeight )
{
	const int hw = hardwareWidth > 0 ? hardwareWidth : width;
	const int hh = hardwareHeight > 0 ? hardwareHeight : height;
	// Outside the picture: a colour the keyer calls person, so sampling there would show.
	const Rgba outside = { 0, 0, 255, 255 };
	std::vector< uint8_t > pixels( static_cast< size_t >( hw ) * hh * 4 );
	for( int row = 0; row < hh; ++row )
	{
		for( int x = 0; x < hw; ++x )
		{
			// The picture starts at texel (0, 0), GL's bottom row.
			const Rgba c = ( x < width && row < height ) ? colour( x, height - 1 - row ) : outside;
			std::memcpy( pixels.data() + ( static_cast< size_t >( row ) * hw + x ) * 4, &c, 4 );
		}
	}
	const GLuint texture = MakeTexture( hw, hh, pixels.data() );
	Picture picture;
	picture.info = { static_cast< uint32_t >( width ), static_cast< uint32_t >( height ), static_cast< uint32_t >( hw ),
		             static_cast< uint32_t >( hh ), texture };
	picture.texture =
	    std::shared_ptr< const void >( nullptr, [ texture ]( const void* ) { glDeleteTextures( 1, &texture ); } );
	return picture;
}

Output ReadOutput( const TestTarget& target )
{
	Output output;
	output.width  = target.width;
	output.height = target.height;
	output.rgba.resize( static_cast< size_t >( target.width ) * target.height * 4 );
	GLint previous = 0;
	glGetIntegerv( GL_READ_FRAMEBUFFER_BINDING, &previous );
	glBindFramebuffer( GL_READ_FRAMEBUFFER, target.framebuffer );
	glReadPixels( 0, 0, target.width, target.height, GL_RGBA, GL_FLOAT, output.rgba.data() );
	glBindFramebuffer( GL_READ_FRAMEBUFFER, static_cast< GLuint >( previous ) );
	return output;
}

Rgba Output::At( int x, int y ) const
{
	const float* p = rgba.data() + ( static_cast< size_t >( height - 1 - y ) * width + x ) * 4;
	auto byte      = []( float v ) { return static_cast< uint8_t >( std::lround( v * 255.f ) ); };
	return { byte( p[ 0 ] ), byte( p[ 1 ] ), byte( p[ 2 ] ), byte( p[ 3 ] ) };
}

float Output::Grey( int x, int y ) const
{
	return rgba[ ( static_cast< size_t >( height - 1 - y ) * width + x ) * 4 ];
}

bool Near( const Rgba& a, const Rgba& b, int tolerance )
{
	return std::abs( a.r - b.r ) <= tolerance && std::abs( a.g - b.g ) <= tolerance &&
	       std::abs( a.b - b.b ) <= tolerance && std::abs( a.a - b.a ) <= tolerance;
}

::testing::AssertionResult SameColour( const Rgba& expected, const Rgba& actual )
{
	if( Near( expected, actual ) )
		return ::testing::AssertionSuccess();
	return ::testing::AssertionFailure() << "expected (" << int( expected.r ) << ", " << int( expected.g ) << ", "
	                                     << int( expected.b ) << ", " << int( expected.a ) << "), got ("
	                                     << int( actual.r ) << ", " << int( actual.g ) << ", " << int( actual.b )
	                                     << ", " << int( actual.a ) << ")";
}
