// The GreenScreen effect: its selectors, loading its model folder, and the matte it keys.
#include "tests/runtime/effect_fixture.h"

#include "tests/support/scope_end.h"
#include "tests/support/test_process.h"

#include <algorithm>
#include <string>
#include <vector>

// Pixels (B, G, R) with d = G - max(R, B) and the matte each must give.
struct KeyCase
{
	uint8_t b, g, r, matte;
};
static const KeyCase kKeyCases[] = {
	{ 0, 0, 0, 255 },      { 200, 10, 50, 255 },  { 0, 116, 100, 255 }, // d <= 16: opaque
	{ 0, 117, 100, 251 },  { 0, 148, 100, 127 },  { 50, 100, 0, 119 },  // between: (80 - d) * 255 / 64
	{ 0, 179, 100, 3 },    { 0, 180, 100, 0 },    { 0, 255, 0, 0 },     // d >= 80: clear
	{ 100, 191, 120, 35 }, { 120, 191, 100, 35 }, { 255, 255, 255, 255 },
};

TEST_F( GreenScreen, KeysTheThreeRangesExactly )
{
	const unsigned w = sizeof( kKeyCases ) / sizeof( kKeyCases[ 0 ] ), h = 2;
	Build( w, h, 16 ); // padded matte rows: each row starts at its own pitch
	ASSERT_FALSE( HasFatalFailure() );
	for( unsigned y = 0; y < h; ++y )
		for( unsigned x = 0; x < w; ++x )
		{
			uint8_t* p = static_cast< uint8_t* >( source.pixels ) + y * source.pitch + x * 3;
			p[ 0 ]     = kKeyCases[ x ].b;
			p[ 1 ]     = kKeyCases[ x ].g;
			p[ 2 ]     = kKeyCases[ x ].r;
		}
	ASSERT_EQ( NVCV_SUCCESS, rt->Run( effect, 0 ) );
	for( unsigned y = 0; y < h; ++y )
		for( unsigned x = 0; x < w; ++x )
			EXPECT_EQ( kKeyCases[ x ].matte, static_cast< uint8_t* >( matte.pixels )[ y * matte.pitch + x ] )
			    << "B " << int( kKeyCases[ x ].b ) << " G " << int( kKeyCases[ x ].g ) << " R "
			    << int( kKeyCases[ x ].r );
	EXPECT_EQ( liveAtStart + 4, rt->LiveObjects() ); // effect, stream, two buffers
}

TEST_F( GreenScreen, RunNeedsALoadedModelAndFittingImages )
{
	Build( 4, 2 );
	ASSERT_FALSE( HasFatalFailure() );
	// A Load from a folder that does not exist fails and leaves the effect unloaded.
	ASSERT_EQ( NVCV_SUCCESS, rt->SetString( effect, "ModelDir", "/no/such/folder/models" ) );
	EXPECT_EQ( NVCV_ERR_MODEL, rt->Load( effect ) );
	EXPECT_EQ( NVCV_ERR_MODEL, rt->Run( effect, 0 ) );
	// Windows-style separators name the same folder.
	std::string backslashed = ExecutableDirectory();
	std::replace( backslashed.begin(), backslashed.end(), '/', '\\' );
	ASSERT_EQ( NVCV_SUCCESS, rt->SetString( effect, "ModelDir", backslashed.c_str() ) );
	ASSERT_EQ( NVCV_SUCCESS, rt->Load( effect ) );
	EXPECT_EQ( NVCV_SUCCESS, rt->Run( effect, 0 ) );

	RefRtImage& other = Image();
	ASSERT_EQ( NVCV_SUCCESS, rt->Alloc( &other, 4, 3, NVCV_A, NVCV_U8, NVCV_CHUNKY, NVCV_GPU, 1 ) );
	ASSERT_EQ( NVCV_SUCCESS, rt->SetImage( effect, "DstImage0", &other ) );
	EXPECT_EQ( NVCV_ERR_MISMATCH, rt->Run( effect, 0 ) );
	ASSERT_EQ( NVCV_SUCCESS, rt->SetImage( effect, "DstImage0", &source ) );
	EXPECT_EQ( NVCV_ERR_PIXELFORMAT, rt->Run( effect, 0 ) );
	ASSERT_EQ( NVCV_SUCCESS, rt->SetImage( effect, "DstImage0", nullptr ) );
	EXPECT_EQ( NVCV_ERR_BUFFER, rt->Run( effect, 0 ) );
	rt->Dealloc( &other );
	ASSERT_EQ( NVCV_SUCCESS, rt->Alloc( &other, 4, 2, NVCV_A, NVCV_U8, NVCV_CHUNKY, NVCV_GPU, 1 ) );
	ASSERT_EQ( NVCV_SUCCESS, rt->SetImage( effect, "DstImage0", &other ) );
	rt->Dealloc( &source ); // a source without storage
	EXPECT_EQ( NVCV_ERR_BUFFER, rt->Run( effect, 0 ) );
}

TEST_F( GreenScreen, LoadFailsWithoutAModelFolder )
{
	ASSERT_EQ( NVCV_SUCCESS, rt->CreateEffect( "GreenScreen", &effect ) );
	EXPECT_EQ( NVCV_ERR_MODEL, rt->Load( effect ) );
	// A file is not a folder.
	std::string file = JoinPath( ExecutableDirectory(), "refrt_not_a_folder.txt" );
	ASSERT_TRUE( WriteFile( file, "not a folder" ) );
	ASSERT_EQ( NVCV_SUCCESS, rt->SetString( effect, "ModelDir", file.c_str() ) );
	EXPECT_EQ( NVCV_ERR_MODEL, rt->Load( effect ) );
	RemoveFile( file );
}

TEST_F( GreenScreen, RefusesUnknownSelectorsValuesAndHandles )
{
	NvVFX_Handle untouched = reinterpret_cast< NvVFX_Handle >( 0x1234 );
	EXPECT_EQ( NVCV_ERR_SELECTOR, rt->CreateEffect( "FaceTracker", &untouched ) );
	EXPECT_EQ( reinterpret_cast< NvVFX_Handle >( 0x1234 ), untouched );
	EXPECT_EQ( NVCV_ERR_PARAMETER, rt->CreateEffect( nullptr, &untouched ) );
	EXPECT_EQ( NVCV_ERR_PARAMETER, rt->CreateEffect( "GreenScreen", nullptr ) );

	ASSERT_EQ( NVCV_SUCCESS, rt->CreateEffect( "GreenScreen", &effect ) );
	EXPECT_EQ( NVCV_ERR_SELECTOR, rt->SetU32( effect, "Quality", 0 ) );
	EXPECT_EQ( NVCV_ERR_SELECTOR, rt->SetString( effect, "ModelPath", "x" ) );
	EXPECT_EQ( NVCV_ERR_SELECTOR, rt->SetImage( effect, "SrcImage1", &source ) );
	EXPECT_EQ( NVCV_ERR_SELECTOR, rt->SetCudaStream( effect, "Stream", nullptr ) );
	EXPECT_EQ( NVCV_ERR_PARAMETER, rt->SetU32( effect, "Mode", 2 ) );
	EXPECT_EQ( NVCV_ERR_PARAMETER, rt->SetU32( effect, nullptr, 0 ) );
	EXPECT_EQ( NVCV_ERR_PARAMETER, rt->SetString( effect, "ModelDir", nullptr ) );
	EXPECT_EQ( NVCV_ERR_PARAMETER, rt->SetU32( nullptr, "Mode", 0 ) );
	EXPECT_EQ( NVCV_ERR_PARAMETER, rt->Run( nullptr, 0 ) );
	EXPECT_EQ( NVCV_ERR_PARAMETER, rt->Load( nullptr ) );
	rt->DestroyEffect( nullptr );

	// Streams and effects are told apart.
	ASSERT_EQ( NVCV_SUCCESS, rt->CudaStreamCreate( &stream ) );
	CUstream_st* second = nullptr;
	ASSERT_EQ( NVCV_SUCCESS, rt->CudaStreamCreate( &second ) );
	AtScopeEnd destroySecond( [ & ] { EXPECT_EQ( NVCV_SUCCESS, rt->CudaStreamDestroy( second ) ); } );
	EXPECT_NE( stream, second );
	EXPECT_EQ( NVCV_ERR_PARAMETER, rt->SetU32( reinterpret_cast< NvVFX_Handle >( second ), "Mode", 0 ) );
	EXPECT_EQ( NVCV_ERR_PARAMETER, rt->CudaStreamDestroy( reinterpret_cast< CUstream_st* >( effect ) ) );
	EXPECT_EQ( NVCV_ERR_PARAMETER, rt->CudaStreamDestroy( nullptr ) );
	EXPECT_EQ( NVCV_ERR_PARAMETER, rt->CudaStreamCreate( nullptr ) );
}

TEST_F( GreenScreen, ModelFolderTextIsCopied )
{
	ASSERT_EQ( NVCV_SUCCESS, rt->CreateEffect( "GreenScreen", &effect ) );
	std::string folder = ExecutableDirectory();
	std::vector< char > text( folder.begin(), folder.end() );
	text.push_back( 0 );
	ASSERT_EQ( NVCV_SUCCESS, rt->SetString( effect, "ModelDir", text.data() ) );
	std::fill( text.begin(), text.end(), 'x' );
	text.back() = 0;
	EXPECT_EQ( NVCV_SUCCESS, rt->Load( effect ) );
}
