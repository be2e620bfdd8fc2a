// The test controls (REFRT_MATTE, REFRT_FAIL, REFRT_LOG) and the build without
// NvVFX_CudaStreamCreate. Each suite runs in a process of its own: controls are read at load.
#include "tests/runtime/effect_fixture.h"
#include "tests/support/test_process.h"

#include <cstring>
#include <string>

class MatteOverride : public GreenScreen
{
	RuntimeSettings Settings() const override { return { nullptr, "77" }; }
};

TEST_F( MatteOverride, EveryMatteByteTakesTheValue )
{
	Build( 3, 2, 8 );
	ASSERT_FALSE( HasFatalFailure() );
	std::memset( source.pixels, 0, 3 * 2 * 3 ); // black: the key would give 255
	std::memset( matte.pixels, 1, 2 * 8 );
	ASSERT_EQ( NVCV_SUCCESS, rt->Run( effect, 0 ) );
	const uint8_t* m             = static_cast< const uint8_t* >( matte.pixels );
	const uint8_t expected[ 16 ] = { 77, 77, 77, 1, 1, 1, 1, 1, 77, 77, 77, 1, 1, 1, 1, 1 }; // padding untouched
	EXPECT_EQ( 0, std::memcmp( expected, m, 16 ) );
}

class FailControl : public GreenScreen
{
	RuntimeSettings Settings() const override
	{
		return { " NvCVImage_Alloc@3,NvVFX_Run@2,NvVFX_Run@4,NvVFX_DestroyEffect,NvCVImage_Dealloc@1,"
			     "NvVFX_CudaStreamCreate,NvVFX_Load@0,NvVFX_SetU32@x" };
	}
};

// One test: the N-th calls are counted over the whole process.
TEST_F( FailControl, FailsListedExportsAndOnlyTheNthCall )
{
	checkLive = false; // the effect cannot be destroyed in this process
	ASSERT_EQ( NVCV_SUCCESS, rt->Alloc( &source, 2, 2, NVCV_BGR, NVCV_U8, NVCV_CHUNKY, NVCV_GPU, 1 ) );
	ASSERT_EQ( NVCV_SUCCESS, rt->Alloc( &matte, 2, 2, NVCV_A, NVCV_U8, NVCV_CHUNKY, NVCV_GPU, 1 ) );
	std::memset( source.pixels, 0, source.bufferBytes );
	RefRtImage& third       = Image();
	const RefRtImage before = EmptyImage();
	EXPECT_EQ( NVCV_ERR_GENERAL, rt->Alloc( &third, 2, 2, NVCV_A, NVCV_U8, NVCV_CHUNKY, NVCV_CPU, 1 ) );
	EXPECT_EQ( 0, std::memcmp( &before, &third, sizeof( third ) ) );
	EXPECT_EQ( NVCV_SUCCESS, rt->Alloc( &third, 2, 2, NVCV_A, NVCV_U8, NVCV_CHUNKY, NVCV_CPU, 1 ) );
	int live = rt->LiveObjects();
	rt->Dealloc( &third ); // the first Dealloc does nothing
	EXPECT_NE( nullptr, third.pixels );
	EXPECT_EQ( live, rt->LiveObjects() );
	rt->Dealloc( &third );
	EXPECT_EQ( nullptr, third.pixels );

	CUstream_st* untouched = reinterpret_cast< CUstream_st* >( 0x5678 );
	EXPECT_EQ( NVCV_ERR_GENERAL, rt->CudaStreamCreate( &untouched ) );
	EXPECT_EQ( reinterpret_cast< CUstream_st* >( 0x5678 ), untouched );

	// Malformed entries ("@0", "@x") fail nothing.
	ASSERT_EQ( NVCV_SUCCESS, rt->CreateEffect( "GreenScreen", &effect ) );
	ASSERT_EQ( NVCV_SUCCESS, rt->SetU32( effect, "Mode", 0 ) );
	ASSERT_EQ( NVCV_SUCCESS, rt->SetString( effect, "ModelDir", ExecutableDirectory().c_str() ) );
	ASSERT_EQ( NVCV_SUCCESS, rt->SetImage( effect, "SrcImage0", &source ) );
	ASSERT_EQ( NVCV_SUCCESS, rt->SetImage( effect, "DstImage0", &matte ) );
	ASSERT_EQ( NVCV_SUCCESS, rt->Load( effect ) );
	for( NvCV_Status expected : { NVCV_SUCCESS, NVCV_ERR_GENERAL, NVCV_SUCCESS, NVCV_ERR_GENERAL, NVCV_SUCCESS } )
		EXPECT_EQ( expected, rt->Run( effect, 0 ) );

	rt->DestroyEffect( effect ); // does nothing: the effect still answers
	EXPECT_EQ( NVCV_SUCCESS, rt->SetU32( effect, "Temporal", 1 ) );
	effect = nullptr;
	EXPECT_EQ( NVCV_SUCCESS, rt->Transfer( &source, &source, 1.f, nullptr, nullptr ) );
	rt->Dealloc( &source );
	rt->Dealloc( &matte );
	EXPECT_EQ( liveAtStart + 1, rt->LiveObjects() );
}

class CallLogControl : public RuntimeTest
{
protected:
	RuntimeSettings Settings() const override { return { "NvVFX_Load", nullptr, true }; }
};

TEST_F( CallLogControl, WritesOneLinePerCallReadableAtOnce )
{
	RefRtImage &image = Image(), &other = Image(), &view = Image();
	ASSERT_EQ( NVCV_SUCCESS, rt->Alloc( &image, 4, 2, NVCV_BGR, NVCV_U8, NVCV_CHUNKY, NVCV_GPU, 1 ) );
	std::string expected = "NvCVImage_Alloc " + Hex( &image ) + " 4 2 5 1 0 1 1\n";
	EXPECT_EQ( expected, ReadFile( RuntimeLogPath() ) );

	uint8_t memory[ 32 ] = {};
	rt->Init( &other, 4, 2, -16, memory + 16, NVCV_RGBA, NVCV_U8, NVCV_CHUNKY, NVCV_CPU );
	NvCVRect2i rect   = { 0, 0, 4, 4 };
	NvCVPoint2i point = { 1, 2 };
	rt->TransferRect( &other, &rect, &image, &point, 1.f, nullptr, nullptr );
	CUstream_st* stream = reinterpret_cast< CUstream_st* >( 0xabc0 );
	rt->Transfer( &other, &image, 0.5f, stream, &view );
	rt->InitView( &view, &image, 1, 0, 2, 2 );
	NvVFX_Handle effect = nullptr;
	ASSERT_EQ( NVCV_SUCCESS, rt->CreateEffect( "GreenScreen", &effect ) );
	rt->SetString( effect, "ModelDir", "C:\\x\\models" );
	rt->SetU32( effect, "Mode", 1 );
	rt->SetString( effect, "ModelDir", "" );
	rt->SetImage( effect, "SrcImage0", nullptr );
	rt->SetCudaStream( effect, "CudaStream", stream );
	EXPECT_EQ( NVCV_ERR_GENERAL, rt->Load( effect ) );
	rt->Run( effect, 0 );
	rt->ErrorString( -7 );
	rt->DestroyEffect( effect );
	rt->Dealloc( nullptr );
	rt->Dealloc( &image );

	const std::string e = Hex( effect ), i = Hex( &image ), o = Hex( &other );
	expected += "NvCVImage_Init " + o + " 4 2 -16 " + Hex( memory + 16 ) + " 6 1 0 0\n" + "NvCVImage_TransferRect " +
	            o + " 0,0,4,4 " + i + " 1,2 1 null null\n" + "NvCVImage_Transfer " + o + " " + i + " 0.5 0xabc0 " +
	            Hex( &view ) + "\n" + "NvCVImage_InitView " + Hex( &view ) + " " + i + " 1 0 2 2\n" +
	            "NvVFX_CreateEffect GreenScreen " + Hex( &effect ) + "\n" + "NvVFX_SetString " + e +
	            " ModelDir C:\\x\\models\n" + "NvVFX_SetU32 " + e + " Mode 1\n" + "NvVFX_SetString " + e +
	            " ModelDir \n" + "NvVFX_SetImage " + e + " SrcImage0 null\n" + "NvVFX_SetCudaStream " + e +
	            " CudaStream 0xabc0\n" + "NvVFX_Load " + e + "\n" + "NvVFX_Run " + e + " 0\n" +
	            "NvCV_GetErrorStringFromCode -7\n" + "NvVFX_DestroyEffect " + e + "\n" + "NvCVImage_Dealloc null\n" +
	            "NvCVImage_Dealloc " + i + "\n";
	EXPECT_EQ( expected, ReadFile( RuntimeLogPath() ) );
	EXPECT_EQ( std::string::npos, ReadFile( RuntimeLogPath() ).find( "RefRt_" ) );
}

class NoStream : public RuntimeTest
{
	RuntimeSettings Settings() const override { return { nullptr, nullptr, false, true }; }
};

TEST_F( NoStream, LacksOnlyTheStreamCreation )
{
	EXPECT_EQ( nullptr, rt->CudaStreamCreate );
	NvVFX_Handle effect = nullptr;
	ASSERT_EQ( NVCV_SUCCESS, rt->CreateEffect( "GreenScreen", &effect ) );
	EXPECT_EQ( liveAtStart + 1, rt->LiveObjects() );
	rt->DestroyEffect( effect );
}
