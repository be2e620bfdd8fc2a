// Frames 10 to 200 of the product library, with the reference runtime present, make no heap
// allocation in the plug-in or the runtime, whatever the size and the parameters.
#include "ffgl/types.h"
#include "tests/support/alloc_counter.h"
#include "tests/support/gl_helpers.h"
#include "tests/support/gl_test.h"
#include "tests/support/test_process.h"

#include <cstring>
#include <string>
#include <vector>

namespace
{
typedef FFMixed ( *PlugMainFunction )( uint32_t code, FFMixed input, FFInstanceID instance );

const std::string kPluginFile  = DynamicLibraryFileName( "Umbrafex_TAVLEN" );
const std::string kImageFile   = DynamicLibraryFileName( "NVCVImage" );
const std::string kEffectsFile = DynamicLibraryFileName( "NVVideoEffects" );

PlugMainFunction plugMain = nullptr;

FFMixed Pointer( void* pointer )
{
	FFMixed value;
	value.PointerValue = pointer;
	return value;
}

FFMixed Number( uint32_t number )
{
	FFMixed value;
	value.PointerValue = nullptr;
	value.UIntValue    = number;
	return value;
}

// The runtime where the plug-in looks for the vendor's, a fixed matte of 255 and no call log (the
// log opens a file per call), then the library: all before its first plugMain call.
std::string LoadProduct()
{
	const std::string exe    = ExecutableDirectory();
	const std::string root   = JoinPath( JoinPath( exe, "scenarios" ), "steady" );
	const std::string folder = JoinPath( JoinPath( root, "NVIDIA Corporation" ), "NVIDIA Video Effects" );
	const std::string built  = JoinPath( exe, "refrt" );
	if( !MakeDirectories( folder ) || !MakeDirectories( JoinPath( root, "models" ) )
		|| !CopyFileTo( JoinPath( built, kImageFile ), JoinPath( folder, kImageFile ) )
		|| !CopyFileTo( JoinPath( built, kEffectsFile ), JoinPath( folder, kEffectsFile ) ) )
		return "cannot lay the runtime out in " + root;
	SetEnvironmentValue( "ProgramFiles", root.c_str() );
	SetEnvironmentValue( "NV_VIDEO_EFFECTS_PATH", root.c_str() );
	SetEnvironmentValue( "NV_AR_SDK_PATH", nullptr );
	SetEnvironmentValue( "REFRT_LOG", nullptr );
	SetEnvironmentValue( "REFRT_FAIL", nullptr );
	SetEnvironmentValue( "REFRT_MATTE", "255" );
	void* library = LoadDynamicLibrary( JoinPath( exe, kPluginFile ) );
	plugMain      = DynamicLibraryFunction< PlugMainFunction >( library, "plugMain" );
	if( !plugMain )
		return "cannot load " + kPluginFile;
	if( plugMain( FF_INITIALISE_V2, Number( 0 ), nullptr ).UIntValue != FF_SUCCESS )
		return "FF_INITIALISE_V2 failed";
	return std::string();
}

struct Workload
{
	const char* name;
	int width, height;
	int hardwareWidth, hardwareHeight;
	// Quality, Show Mask, Stability, Edge Hard
	float parameters[ 4 ];
};

class SteadyFrames : public GLTest
{
protected:
	void SetUp() override
	{
		GLTest::SetUp();
		if( HasFatalFailure() )
			return;
		if( !plugMain )
		{
			ASSERT_EQ( "", LoadProduct() );
		}
	}

	// One instance through 200 frames; returns the counts of frames 10 to 200. *setupCounts gets
	// those of the set-up frame, *grey the output's red channel at its centre after the last frame.
	alloccount::Counts Run( const Workload& setup, alloccount::Counts* setupCounts, int* grey )
	{
		FFGLViewportStruct viewport = { 0, 0, static_cast< uint32_t >( setup.width ), static_cast< uint32_t >( setup.height ) };
		FFInstanceID instance       = plugMain( FF_INSTANTIATE_GL, Pointer( &viewport ), nullptr ).PointerValue;
		EXPECT_TRUE( instance && reinterpret_cast< uintptr_t >( instance ) != FF_FAIL_POINTER_VALUE );
		for( uint32_t index = 0; index < 4; ++index )
		{
			SetParameterStruct record = {};
			record.ParameterNumber    = index;
			std::memcpy( &record.NewParameterValue.UIntValue, &setup.parameters[ index ], sizeof( float ) );
			EXPECT_EQ( FF_SUCCESS, plugMain( FF_SET_PARAMETER, Pointer( &record ), instance ).UIntValue );
		}
		// A dark grey picture: drawn through, it stays dark; as the matte (Show Mask), it turns white.
		const std::vector< uint8_t > pixels( static_cast< size_t >( setup.hardwareWidth ) * setup.hardwareHeight * 4, 40 );
		const GLuint texture = MakeTexture( setup.hardwareWidth, setup.hardwareHeight, pixels.data() );
		TestTarget target    = MakeTarget( setup.width, setup.height );
		FFGLTextureStruct info = { static_cast< uint32_t >( setup.width ), static_cast< uint32_t >( setup.height ),
								   static_cast< uint32_t >( setup.hardwareWidth ),
								   static_cast< uint32_t >( setup.hardwareHeight ), texture };
		FFGLTextureStruct* inputs[ 1 ] = { &info };
		ProcessOpenGLStruct record     = {};
		record.numInputTextures        = 1;
		record.inputTextures           = inputs;
		record.HostFBO                 = target.framebuffer;

		alloccount::Counts steady;
		for( int frame = 1; frame <= 200; ++frame )
		{
			glBindFramebuffer( GL_FRAMEBUFFER, target.framebuffer );
			glViewport( 0, 0, setup.width, setup.height );
			if( frame == 1 || frame == 10 )
				alloccount::Arm();
			else if( frame > 10 )
				alloccount::Resume();
			const FFResult result = plugMain( FF_PROCESS_OPENGL, Pointer( &record ), instance ).UIntValue;
			alloccount::Disarm();
			EXPECT_EQ( FF_SUCCESS, result );
			if( frame == 1 )
				*setupCounts = alloccount::Read();
			else if( frame >= 10 )
				steady = alloccount::Read();
		}
		const std::vector< uint8_t > out = ReadPixels( target.framebuffer, setup.width, setup.height );
		*grey = PixelAt( out, setup.width, setup.width / 2, setup.height / 2 )[ 0 ];
		EXPECT_EQ( FF_SUCCESS, plugMain( FF_DEINSTANTIATE_GL, Number( 0 ), instance ).UIntValue );
		glDeleteTextures( 1, &texture );
		DeleteTarget( target );
		return steady;
	}
};
}

TEST_F( SteadyFrames, NoAllocationAtAnySizeOrSetting )
{
	const std::vector< std::string > watched = { kPluginFile, kImageFile, kEffectsFile };
	const Workload setups[] = {
		{ "1920x1080, defaults, matte shown", 1920, 1080, 1920, 1080, { 1.0f, 1.0f, 0.5f, 0.5f } },
		{ "1280x720, no smoothing", 1280, 720, 1280, 720, { 1.0f, 0.0f, 0.0f, 0.5f } },
		{ "1080x1920, full smoothing, performance mode", 1080, 1920, 1080, 1920, { 0.0f, 1.0f, 1.0f, 1.0f } },
		{ "333x197 in 512x256, history frozen", 333, 197, 512, 256, { 1.0f, 1.0f, 1.2f, 0.0f } },
	};
	for( const Workload& setup : setups )
	{
		ASSERT_TRUE( alloccount::MapModules( watched ) );
		alloccount::Counts setupCounts;
		int grey                          = 0;
		const alloccount::Counts steady   = Run( setup, &setupCounts, &grey );
		// The set-up frame allocates (the history, the runtime's images): proof that the count sees it.
		EXPECT_GT( setupCounts.watched, 0u ) << setup.name;
		EXPECT_EQ( 0u, steady.watched ) << setup.name << "; first at " << alloccount::FirstWatchedCaller();
		// The matte really arrived every frame: shown, it is white, where the input is dark grey.
		if( setup.parameters[ 1 ] > 0.5f && setup.parameters[ 2 ] < 1.1f )
		{
			EXPECT_GT( grey, 200 ) << setup.name;
		}
		std::printf( "%s: frames 10-200: %zu allocations by the plug-in and runtime, %zu by the GL driver\n",
					 setup.name, steady.watched, steady.others );
	}
}
