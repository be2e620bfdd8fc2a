// The two library loaders against the reference runtime laid out as a machine would have the
// vendor's. The loaders cache for the whole process: every suite here runs in a process of its own.
#include "nvidia/image_library.h"
#include "nvidia/nvcv_image.h"
#include "nvidia/video_effects.h"
#include "tests/nvidia/runtime_layout.h"
#include "tests/support/scope_end.h"
#include "tests/support/test_process.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace
{
const char* const kMissingImageText = "Cannot find nvCVImage DLL or its dependencies";

bool Contains( const std::string& text, const char* part )
{
	return text.find( part ) != std::string::npos;
}

// Markers for out-values that must stay as they were, one of each type.
template< typename T >
T* Marker()
{
	static int marker;
	return reinterpret_cast< T* >( &marker );
}

// Every effects entry point with a status, on an effect that the runtime never made.
void ExpectEveryEffectsCallMissing()
{
	NvVFX_Handle effect = Marker< NvVFX_Object >();
	NvCVImage image;
	EXPECT_EQ( NVCV_ERR_LIBRARY, NvVFX_CreateEffect( "GreenScreen", &effect ) );
	EXPECT_EQ( Marker< NvVFX_Object >(), effect );
	EXPECT_EQ( NVCV_ERR_LIBRARY, NvVFX_SetString( effect, "ModelDir", "models" ) );
	EXPECT_EQ( NVCV_ERR_LIBRARY, NvVFX_SetU32( effect, "Mode", 0 ) );
	EXPECT_EQ( NVCV_ERR_LIBRARY, NvVFX_SetImage( effect, "SrcImage0", &image ) );
	EXPECT_EQ( NVCV_ERR_LIBRARY, NvVFX_SetCudaStream( effect, "CudaStream", Marker< CUstream_st >() ) );
	EXPECT_EQ( NVCV_ERR_LIBRARY, NvVFX_Load( effect ) );
	EXPECT_EQ( NVCV_ERR_LIBRARY, NvVFX_Run( effect, 0 ) );
	CUstream_st* stream = Marker< CUstream_st >();
	EXPECT_EQ( NVCV_ERR_LIBRARY, NvVFX_CudaStreamCreate( &stream ) );
	EXPECT_EQ( Marker< CUstream_st >(), stream );
	EXPECT_EQ( NVCV_ERR_LIBRARY, NvVFX_CudaStreamDestroy( stream ) );
	// Forwarded, this would hand a foreign pointer to the runtime.
	NvVFX_DestroyEffect( effect );
}

int releasedByDeleteProc = 0;
void CountRelease( void* )
{
	++releasedByDeleteProc;
}

// Every image entry point, on records the library never saw.
void ExpectEveryImageCallMissing()
{
	uint8_t bytes[ 32 ] = {};
	NvCVImage image;
	EXPECT_EQ( nullptr, image.pixels );
	EXPECT_EQ( 0u, image.width );
	EXPECT_EQ( NVCV_ERR_LIBRARY, NvCVImage_Alloc( &image, 2, 2, NVCV_RGBA, NVCV_U8, NVCV_CHUNKY, NVCV_CPU, 1 ) );
	EXPECT_EQ( NVCV_ERR_LIBRARY, NvCVImage_Init( &image, 2, 2, 8, bytes, NVCV_RGBA, NVCV_U8, NVCV_CHUNKY, NVCV_CPU ) );
	EXPECT_EQ( nullptr, image.pixels );

	NvCVImage other( 2, 2, NVCV_RGBA, NVCV_U8, NVCV_CHUNKY, NVCV_CPU, 1 );
	EXPECT_EQ( nullptr, other.pixels );
	EXPECT_EQ( NVCV_ERR_LIBRARY, NvCVImage_Transfer( &image, &other, 1.0f, nullptr, nullptr ) );
	const NvCVRect2i rect   = { 0, 0, 1, 1 };
	const NvCVPoint2i point = { 0, 0 };
	EXPECT_EQ( NVCV_ERR_LIBRARY, NvCVImage_TransferRect( &image, &rect, &other, &point, 1.0f, nullptr, nullptr ) );
	EXPECT_EQ( NVCV_ERR_LIBRARY, other.copyFrom( &image, nullptr ) );
	EXPECT_EQ( NVCV_ERR_LIBRARY, other.copyFrom( &image, 0, 0, 0, 0, 1, 1, nullptr ) );

	// InitView and Dealloc do nothing: a record describing foreign storage stays as it is.
	NvCVImage foreign;
	foreign.width      = 7;
	foreign.pixels     = bytes;
	foreign.deletePtr  = bytes;
	foreign.deleteProc = CountRelease;
	NvCVImage_InitView( &foreign, &other, 0, 0, 1, 1 );
	NvCVImage_Dealloc( &foreign );
	EXPECT_EQ( 7u, foreign.width );
	EXPECT_EQ( bytes, foreign.pixels );
	EXPECT_EQ( 0, releasedByDeleteProc );
	foreign.pixels = nullptr;

	NvCVImage view( &other, 0, 0, 1, 1 );
	EXPECT_EQ( nullptr, view.pixels );

	EXPECT_STREQ( kMissingImageText, NvCV_GetErrorStringFromCode( NVCV_SUCCESS ) );
	EXPECT_STREQ( kMissingImageText, NvCV_GetErrorStringFromCode( NVCV_ERR_MISMATCH ) );
}

void ExpectNotLoaded()
{
	EXPECT_EQ( "", LoadedPath( kImageFile ) );
	EXPECT_EQ( "", LoadedPath( kEffectsFile ) );
}

// The library of that file name was loaded from a path that holds folder.
void ExpectLoadedFrom( const std::string& fileName, const char* folder )
{
	const std::string path = LoadedPath( fileName );
	EXPECT_TRUE( Contains( path, folder ) ) << fileName << " loaded from \"" << path << "\"";
}

// An image allocated through the bridge has storage, from the image library found in folder.
void ExpectImageLibraryFrom( const char* folder )
{
	NvCVImage image( 2, 2, NVCV_A, NVCV_U8, NVCV_CHUNKY, NVCV_CPU, 1 );
	EXPECT_NE( nullptr, image.pixels );
	ExpectLoadedFrom( kImageFile, folder );
}

// An effect made and released through the bridge; the stream only where the runtime has it.
void ExpectEffectRoundTrip( const Scenario& scenario, bool withStream )
{
	{
		NvVFX_Handle effect = nullptr;
		AtScopeEnd destroyEffect( [ & ] { NvVFX_DestroyEffect( effect ); } );
		ASSERT_EQ( NVCV_SUCCESS, NvVFX_CreateEffect( "GreenScreen", &effect ) );
		ASSERT_NE( nullptr, effect );
		EXPECT_EQ( NVCV_SUCCESS, NvVFX_SetString( effect, "ModelDir", scenario.folder.c_str() ) );

		CUstream_st* stream       = Marker< CUstream_st >();
		const NvCV_Status created = NvVFX_CudaStreamCreate( &stream );
		AtScopeEnd destroyStream( [ & ] {
			if( created == NVCV_SUCCESS )
			{
				EXPECT_EQ( NVCV_SUCCESS, NvVFX_CudaStreamDestroy( stream ) );
			}
		} );
		EXPECT_EQ( withStream ? NVCV_SUCCESS : NVCV_ERR_LIBRARY, created );
		EXPECT_EQ( !withStream, Marker< CUstream_st >() == stream );
	}
	EXPECT_EQ( 0, RuntimeLiveObjects() );
}

// With either variable at "USE_APP_PATH" and no plain hit, the image library stays missing
// although both Program Files folders hold it.
void ExpectImageSearchStopsAtUseAppPath( const Scenario& scenario )
{
	ASSERT_TRUE( PlaceRuntime( scenario.videoEffects, true, Effects::kNone ) );
	ASSERT_TRUE( PlaceRuntime( scenario.arSdk, true, Effects::kNone ) );

	NvCVImage image;
	EXPECT_EQ( nullptr, image.pixels );
	EXPECT_STREQ( kMissingImageText, NvCV_GetErrorStringFromCode( NVCV_SUCCESS ) );
	EXPECT_EQ( "", LoadedPath( kImageFile ) );
	EXPECT_FALSE( FileExists( scenario.log ) );
}

// A Program Files folder name that makes the whole value that long.
std::string ProgramFilesNameOfLength( const char* scenarioName, size_t length )
{
	return "pf" + std::string( length - ScenarioFolder( scenarioName ).size() - 3, 'x' );
}
}

TEST( RuntimeAbsent, EveryCallFailsAndTheSearchIsNotRepeated )
{
	Scenario scenario = PrepareScenario( "RuntimeAbsent" );

	// First calls search both libraries and find nothing.
	NvVFX_Handle effect = Marker< NvVFX_Object >();
	EXPECT_EQ( NVCV_ERR_LIBRARY, NvVFX_CreateEffect( "GreenScreen", &effect ) );
	NvCVImage first;
	EXPECT_EQ( nullptr, first.pixels );

	// Installed while the process runs: entry points resolved from now on still see no library.
	ASSERT_TRUE( PlaceRuntime( scenario.videoEffects, true, Effects::kFull ) );
	ExpectEveryEffectsCallMissing();
	ExpectEveryImageCallMissing();
	ExpectNotLoaded();
	EXPECT_FALSE( FileExists( scenario.log ) );
	EXPECT_EQ( -1, RuntimeLiveObjects() );
}

TEST( RuntimeInProgramFiles, EffectSequenceReachesTheRuntimeUntouched )
{
	Scenario scenario = PrepareScenario( "RuntimeInProgramFiles" );
	ASSERT_TRUE( PlaceRuntime( scenario.videoEffects, true, Effects::kFull ) );
	const unsigned width = 4, height = 2;

	NvCVImage srcImage, dstImage, maskImage, tmpImage;
	NvVFX_Handle effect = nullptr;
	CUstream_st* stream = nullptr;
	// The test releases both itself, in the effect's order; this only when an assertion ends it early.
	AtScopeEnd release( [ & ] {
		if( effect )
			NvVFX_DestroyEffect( effect );
		if( stream )
			NvVFX_CudaStreamDestroy( stream );
	} );
	ASSERT_EQ( NVCV_SUCCESS, NvVFX_CreateEffect( "GreenScreen", &effect ) );
	EXPECT_EQ( NVCV_SUCCESS, NvVFX_SetString( effect, "ModelDir", scenario.folder.c_str() ) );
	EXPECT_EQ( NVCV_SUCCESS, NvVFX_SetU32( effect, "Mode", 1 ) );
	EXPECT_EQ( NVCV_SUCCESS, NvVFX_SetU32( effect, "Temporal", 1 ) );
	ASSERT_EQ( NVCV_SUCCESS, NvVFX_CudaStreamCreate( &stream ) );
	EXPECT_EQ( NVCV_SUCCESS, NvVFX_SetCudaStream( effect, "CudaStream", stream ) );
	ASSERT_EQ( NVCV_SUCCESS, NvCVImage_Alloc( &srcImage, width, height, NVCV_BGR, NVCV_U8, NVCV_CHUNKY, NVCV_GPU, 1 ) );
	ASSERT_EQ( NVCV_SUCCESS, NvCVImage_Alloc( &dstImage, width, height, NVCV_A, NVCV_U8, NVCV_CHUNKY, NVCV_GPU, 1 ) );
	ASSERT_EQ( NVCV_SUCCESS, NvCVImage_Alloc( &maskImage, width, height, NVCV_A, NVCV_U8, NVCV_CHUNKY, NVCV_CPU, 1 ) );
	EXPECT_EQ( NVCV_SUCCESS, NvVFX_SetImage( effect, "SrcImage0", &srcImage ) );
	EXPECT_EQ( NVCV_SUCCESS, NvVFX_SetImage( effect, "DstImage0", &dstImage ) );
	ASSERT_EQ( NVCV_SUCCESS, NvVFX_Load( effect ) );

	// A read-back frame stores the bottom row first: green below, red on top.
	std::vector< uint8_t > frame( width * height * 4, 255 );
	for( unsigned x = 0; x < width; ++x )
	{
		uint8_t* bottom = &frame[ x * 4 ];
		uint8_t* top    = &frame[ ( width + x ) * 4 ];
		bottom[ 0 ] = 0, bottom[ 1 ] = 255, bottom[ 2 ] = 0;
		top[ 0 ] = 255, top[ 1 ] = 0, top[ 2 ] = 0;
	}
	uint8_t* lastRow = &frame[ ( height - 1 ) * width * 4 ];
	NvCVImage frameView;
	EXPECT_EQ( NVCV_SUCCESS, NvCVImage_Init( &frameView, width, height, -4 * static_cast< int >( width ), lastRow,
	                                         NVCV_RGBA, NVCV_U8, NVCV_CHUNKY, NVCV_CPU ) );
	ASSERT_EQ( NVCV_SUCCESS, NvCVImage_Transfer( &frameView, &srcImage, 1.0f, stream, &tmpImage ) );
	ASSERT_EQ( NVCV_SUCCESS, NvVFX_Run( effect, 0 ) );
	ASSERT_EQ( NVCV_SUCCESS, NvCVImage_Transfer( &dstImage, &maskImage, 1.0f, stream, &tmpImage ) );
	NvCVImage_Dealloc( &frameView );

	// Person (red) on top kept, green backdrop below keyed out.
	const uint8_t* matte = static_cast< const uint8_t* >( maskImage.pixels );
	ASSERT_NE( nullptr, matte );
	EXPECT_EQ( 255, matte[ 0 ] );
	EXPECT_EQ( 255, matte[ width - 1 ] );
	EXPECT_EQ( 0, matte[ width ] );
	EXPECT_EQ( 0, matte[ 2 * width - 1 ] );

	const std::string h = Hex( effect ), streamText = Hex( stream );
	NvVFX_DestroyEffect( std::exchange( effect, nullptr ) );
	EXPECT_EQ( NVCV_SUCCESS, NvVFX_CudaStreamDestroy( std::exchange( stream, nullptr ) ) );
	for( NvCVImage* image : { &srcImage, &dstImage, &maskImage, &tmpImage } )
		NvCVImage_Dealloc( image );
	EXPECT_EQ( 0, RuntimeLiveObjects() );

	const std::vector< std::string > expected = {
		"NvCVImage_Alloc " + Hex( &srcImage ) + " 0 0 0 0 0 0 0",
		"NvCVImage_Alloc " + Hex( &dstImage ) + " 0 0 0 0 0 0 0",
		"NvCVImage_Alloc " + Hex( &maskImage ) + " 0 0 0 0 0 0 0",
		"NvCVImage_Alloc " + Hex( &tmpImage ) + " 0 0 0 0 0 0 0",
		"NvVFX_CreateEffect GreenScreen " + Hex( &effect ),
		"NvVFX_SetString " + h + " ModelDir " + scenario.folder,
		"NvVFX_SetU32 " + h + " Mode 1",
		"NvVFX_SetU32 " + h + " Temporal 1",
		"NvVFX_CudaStreamCreate " + Hex( &stream ),
		"NvVFX_SetCudaStream " + h + " CudaStream " + streamText,
		"NvCVImage_Alloc " + Hex( &srcImage ) + " 4 2 5 1 0 1 1",
		"NvCVImage_Alloc " + Hex( &dstImage ) + " 4 2 2 1 0 1 1",
		"NvCVImage_Alloc " + Hex( &maskImage ) + " 4 2 2 1 0 0 1",
		"NvVFX_SetImage " + h + " SrcImage0 " + Hex( &srcImage ),
		"NvVFX_SetImage " + h + " DstImage0 " + Hex( &dstImage ),
		"NvVFX_Load " + h,
		"NvCVImage_Alloc " + Hex( &frameView ) + " 0 0 0 0 0 0 0",
		"NvCVImage_Init " + Hex( &frameView ) + " 4 2 -16 " + Hex( lastRow ) + " 6 1 0 0",
		"NvCVImage_Transfer " + Hex( &frameView ) + " " + Hex( &srcImage ) + " 1 " + streamText + " " +
		    Hex( &tmpImage ),
		"NvVFX_Run " + h + " 0",
		"NvCVImage_Transfer " + Hex( &dstImage ) + " " + Hex( &maskImage ) + " 1 " + streamText + " " +
		    Hex( &tmpImage ),
		"NvCVImage_Dealloc " + Hex( &frameView ),
		"NvVFX_DestroyEffect " + h,
		"NvVFX_CudaStreamDestroy " + streamText,
		"NvCVImage_Dealloc " + Hex( &srcImage ),
		"NvCVImage_Dealloc " + Hex( &dstImage ),
		"NvCVImage_Dealloc " + Hex( &maskImage ),
		"NvCVImage_Dealloc " + Hex( &tmpImage ),
	};
	EXPECT_EQ( expected, LogLines( scenario.log ) );
	ExpectLoadedFrom( kEffectsFile, "NVIDIA Video Effects" );
	ExpectLoadedFrom( kImageFile, "NVIDIA Video Effects" );
}

TEST( RuntimeInProgramFiles, FailuresOfTheRuntimeComeBackUntouched )
{
	Scenario scenario = PrepareScenario( "RuntimeInProgramFilesFailures" );
	ASSERT_TRUE( PlaceRuntime( scenario.videoEffects, true, Effects::kFull ) );

	NvVFX_Handle effect = Marker< NvVFX_Object >();
	EXPECT_EQ( NVCV_ERR_SELECTOR, NvVFX_CreateEffect( "NoSuchEffect", &effect ) );
	EXPECT_EQ( Marker< NvVFX_Object >(), effect );
	ASSERT_EQ( NVCV_SUCCESS, NvVFX_CreateEffect( "GreenScreen", &effect ) );
	EXPECT_EQ( NVCV_ERR_PARAMETER, NvVFX_SetU32( effect, "Mode", 7 ) );
	EXPECT_EQ( NVCV_ERR_MODEL, NvVFX_Load( effect ) );
	NvVFX_DestroyEffect( effect );

	NvCVImage small( 2, 2, NVCV_RGBA, NVCV_U8, NVCV_CHUNKY, NVCV_CPU, 1 );
	NvCVImage large( 3, 2, NVCV_RGBA, NVCV_U8, NVCV_CHUNKY, NVCV_CPU, 1 );
	EXPECT_EQ( NVCV_ERR_MISMATCH, large.copyFrom( &small, nullptr ) );
	EXPECT_STREQ( "images do not match", NvCV_GetErrorStringFromCode( NVCV_ERR_MISMATCH ) );
}

// Told to use the application's path, the loader sets no folder: the loader's own search finds the
// runtime (LD_LIBRARY_PATH, or beside this copy of the executable), never the decoy without streams.
TEST( AppPath, RuntimeFoundByTheLoadersOwnSearch )
{
	Scenario scenario = PrepareScenario( "AppPath" );
	SetEnvironmentValue( "NV_VIDEO_EFFECTS_PATH", "USE_APP_PATH" );
	ASSERT_TRUE( PlaceRuntime( scenario.videoEffects, true, Effects::kNoStream ) );

	ExpectEffectRoundTrip( scenario, true );
	ExpectImageLibraryFrom( "apppath" );
	ExpectLoadedFrom( kEffectsFile, "apppath" );
}

// Lower case is just another value: the Program Files folder is set and searched first.
TEST( AppPathLowerCase, TreatedLikeAnyOtherValue )
{
	Scenario scenario = PrepareScenario( "AppPathLowerCase" );
	SetEnvironmentValue( "NV_VIDEO_EFFECTS_PATH", "use_app_path" );
	ASSERT_TRUE( PlaceRuntime( scenario.videoEffects, true, Effects::kNoStream ) );

	ExpectEffectRoundTrip( scenario, false );
	ExpectLoadedFrom( kEffectsFile, "NVIDIA Video Effects" );
}

TEST( ImageInArSdk, FoundAtTheThirdAttempt )
{
	Scenario scenario = PrepareScenario( "ImageInArSdk" );
	ASSERT_TRUE( PlaceRuntime( scenario.arSdk, true, Effects::kNone ) );

	ExpectImageLibraryFrom( "NVIDIA AR SDK" );
	EXPECT_STREQ( "images do not match", NvCV_GetErrorStringFromCode( NVCV_ERR_MISMATCH ) );
	EXPECT_EQ( 0, RuntimeLiveObjects() );

	NvVFX_Handle effect = Marker< NvVFX_Object >();
	EXPECT_EQ( NVCV_ERR_LIBRARY, NvVFX_CreateEffect( "GreenScreen", &effect ) );
}

// With the library in both folders, the Video Effects folder is searched before the AR SDK's.
TEST( ImageInBothFolders, VideoEffectsFolderComesFirst )
{
	Scenario scenario = PrepareScenario( "ImageInBothFolders" );
	ASSERT_TRUE( PlaceRuntime( scenario.videoEffects, true, Effects::kNone ) );
	ASSERT_TRUE( PlaceRuntime( scenario.arSdk, true, Effects::kNone ) );

	ExpectImageLibraryFrom( "NVIDIA Video Effects" );
}

TEST( ArSdkUseAppPath, ImageLibraryStaysMissing )
{
	Scenario scenario = PrepareScenario( "ArSdkUseAppPath" );
	SetEnvironmentValue( "NV_AR_SDK_PATH", "USE_APP_PATH" );
	ExpectImageSearchStopsAtUseAppPath( scenario );

	// The effects runtime brings the image library into the process; the image search is not repeated.
	ASSERT_TRUE( PlaceRuntime( scenario.videoEffects, false, Effects::kFull ) );
	ExpectEffectRoundTrip( scenario, true );
	EXPECT_NE( "", LoadedPath( kImageFile ) );
	ExpectEveryImageCallMissing();
}

TEST( VideoEffectsUseAppPath, ImageLibraryStaysMissing )
{
	Scenario scenario = PrepareScenario( "VideoEffectsUseAppPath" );
	SetEnvironmentValue( "NV_VIDEO_EFFECTS_PATH", "USE_APP_PATH" );
	ExpectImageSearchStopsAtUseAppPath( scenario );
	ExpectEveryImageCallMissing();
}

TEST( NoStreamExport, OnlyThatFunctionIsMissing )
{
	Scenario scenario = PrepareScenario( "NoStreamExport" );
	ASSERT_TRUE( PlaceRuntime( scenario.videoEffects, true, Effects::kNoStream ) );

	ExpectEffectRoundTrip( scenario, false );
	for( const std::string& line : LogLines( scenario.log ) )
		EXPECT_FALSE( Contains( line, "CudaStreamCreate" ) ) << line;
}

// A ProgramFiles of 219 characters makes the Video Effects folder one character too long: that
// attempt is skipped, not cut (cut, it would still name the folder holding the runtime).
TEST( LongProgramFiles, TooLongFolderIsSkipped )
{
	Scenario scenario = PrepareScenario( "LongProgramFiles", ProgramFilesNameOfLength( "LongProgramFiles", 219 ) );
	ASSERT_EQ( 219u, scenario.programFiles.size() );
	// Windows' path limit keeps the files themselves out of such a folder.
	if( PathsBeyondWindowsLimitHoldFiles() )
	{
		ASSERT_TRUE( PlaceRuntime( scenario.videoEffects, true, Effects::kFull ) );
	}
	ExpectEveryEffectsCallMissing();
	ExpectEveryImageCallMissing();
	ExpectNotLoaded();
}

#ifndef _WIN32
// Only the attempt that does not fit is skipped: the AR SDK folder of the same value still is tried.
TEST( LongProgramFilesArSdk, ShorterFolderStillTried )
{
	Scenario scenario =
	    PrepareScenario( "LongProgramFilesArSdk", ProgramFilesNameOfLength( "LongProgramFilesArSdk", 219 ) );
	ASSERT_EQ( 219u, scenario.programFiles.size() );
	ASSERT_TRUE( PlaceRuntime( scenario.videoEffects, true, Effects::kFull ) );
	ASSERT_TRUE( PlaceRuntime( scenario.arSdk, true, Effects::kNone ) );

	ExpectImageLibraryFrom( "NVIDIA AR SDK" );
}
#endif
