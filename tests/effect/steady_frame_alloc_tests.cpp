// Frames 10 to 200 of the product library, with the reference runtime present, make no heap
// allocation in the plug-in or the runtime, whatever the size and the parameters.
#include "effect/umbrafex_parameters.h"
#include "ffgl/types.h"
#include "tests/support/alloc_counter.h"
#include "tests/support/gl_helpers.h"
#include "tests/support/gl_test.h"
#include "tests/support/plugmain_calls.h"
#include "tests/support/test_process.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{
const std::string kPluginFile = DynamicLibraryFileName( "Umbrafex_TAVLEN" );

PlugMainCalls product;

// The runtime where the plug-in looks for the vendor's, a fixed matte of 255 and no call log (the
// log opens a file per call), then the library: all before its first plugMain call.
std::string LoadProduct()
{
	const std::string exe    = ExecutableDirectory();
	const std::string root   = JoinPath( JoinPath( exe, "scenarios" ), "steady" );
	const std::string folder = JoinPath( JoinPath( root, "NVIDIA Corporation" ), "NVIDIA Video Effects" );
	const std::string built  = JoinPath( exe, "refrt" );
	if( !MakeDirectories( folder ) || !MakeDirectories( JoinPath( root, "models" ) ) ||
	    !CopyFileTo( JoinPath( built, kImageFile ), JoinPath( folder, kImageFile ) ) ||
	    !CopyFileTo( JoinPath( built, kEffectsFile ), JoinPath( folder, kEffectsFile ) ) )
		return "cannot lay the runtime out in " + root;
	SetEnvironmentValue( "ProgramFiles", root.c_str() );
	SetEnvironmentValue( "NV_VIDEO_EFFECTS_PATH", root.c_str() );
	SetEnvironmentValue( "NV_AR_SDK_PATH", nullptr );
	SetEnvironmentValue( "REFRT_LOG", nullptr );
	SetEnvironmentValue( "REFRT_FAIL", nullptr );
	SetEnvironmentValue( "REFRT_MATTE", "255" );
	std::string error;
	void* library = LoadDynamicLibrary( JoinPath( exe, kPluginFile ), &error );
	if( !library )
		return error;
	product.plugMain = DynamicLibraryFunction< PlugMainFunction >( library, "plugMain" );
	if( !product.plugMain )
		return kPluginFile + " exports no plugMain";
	if( MixedLowBits( product.Call( FF_INITIALISE_V2 ) ) != FF_SUCCESS )
		return "FF_INITIALISE_V2 failed";
	return std::string();
}

struct Workload
{
	const char* name;
	uint32_t width, height;
	uint32_t hardwareWidth, hardwareHeight;
	// Quality, Show Mask, Stability, Edge Hard
	float parameters[ kParameterCount ];
};

class SteadyFrames : public GLTest
{
protected:
	void SetUp() override
	{
		GLTest::SetUp();
		if( HasFatalFailure() )
			return;
		if( !product.plugMain )
		{
			ASSERT_EQ( "", LoadProduct() );
		}
	}

	// One instance through 200 frames: *steady gets the counts of frames 10 to 200, *setupCounts those
	// of the set-up frame, *grey the output's red channel at its centre after the last frame.
	void Run( const Workload& setup, alloccount::Counts* setupCounts, alloccount::Counts* steady, int* grey )
	{
		const FFGLViewportStruct viewport = { 0, 0, setup.width, setup.height };
		const FFMixed made                = product.CallWith( FF_INSTANTIATE_GL, &viewport );
		ASSERT_TRUE( IsInstance( made ) );
		// Ended whatever assertion fails below.
		const std::unique_ptr< void, void ( * )( void* ) > instance(
		    made.PointerValue, []( void* id ) { product.Call( FF_DEINSTANTIATE_GL, 0, id ); } );
		for( uint32_t index = 0; index < kParameterCount; ++index )
			EXPECT_EQ( FF_SUCCESS, product.SetParameter( instance.get(), index, setup.parameters[ index ] ) );
		// A dark grey picture: drawn through, it stays dark; as the matte (Show Mask), it turns white.
		const std::vector< uint8_t > pixels( static_cast< size_t >( setup.hardwareWidth ) * setup.hardwareHeight * 4,
		                                     40 );
		const ScopedTexture texture( MakeTexture( setup.hardwareWidth, setup.hardwareHeight, pixels.data() ) );
		const ScopedTarget target( MakeTarget( setup.width, setup.height ) );
		const FFGLTextureStruct info = { setup.width, setup.height, setup.hardwareWidth, setup.hardwareHeight,
			                             texture.name };
		const FrameRecord frame( info, target.framebuffer );

		for( int number = 1; number <= 200; ++number )
		{
			BindHostTarget( target );
			if( number == 1 || number == 10 )
				alloccount::Arm();
			else if( number > 10 )
				alloccount::Resume();
			const FFMixed result = product.CallWith( FF_PROCESS_OPENGL, &frame.record, instance.get() );
			alloccount::Disarm();
			EXPECT_EQ( FF_SUCCESS, MixedLowBits( result ) );
			if( number == 1 )
				*setupCounts = alloccount::Read();
			else if( number >= 10 )
				*steady = alloccount::Read();
		}
		const std::vector< uint8_t > out = ReadPixels( target.framebuffer, setup.width, setup.height );
		*grey                            = PixelAt( out, setup.width, setup.width / 2, setup.height / 2 )[ 0 ];
	}
};
}

TEST_F( SteadyFrames, NoAllocationAtAnySizeOrSetting )
{
	const std::vector< std::string > watched = { kPluginFile, kImageFile, kEffectsFile };
	const Workload setups[]                  = {
		                 { "1920x1080, defaults, matte shown", 1920, 1080, 1920, 1080, { 1.0f, 1.0f, 0.5f, 0.5f } },
		                 { "1280x720, no smoothing", 1280, 720, 1280, 720, { 1.0f, 0.0f, 0.0f, 0.5f } },
		                 { "1080x1920, full smoothing, performance mode", 1080, 1920, 1080, 1920, { 0.0f, 1.0f, 1.0f, 1.0f } },
		                 { "333x197 in 512x256, history frozen", 333, 197, 512, 256, { 1.0f, 1.0f, 1.2f, 0.0f } },
	};
	for( const Workload& setup : setups )
	{
		ASSERT_TRUE( alloccount::MapModules( watched ) );
		alloccount::Counts setupCounts;
		alloccount::Counts steady;
		int grey = 0;
		Run( setup, &setupCounts, &steady, &grey );
		ASSERT_FALSE( HasFatalFailure() ) << setup.name;
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
