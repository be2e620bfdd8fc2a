// The GreenScreen effect with a network in its model folder: which model each mode reads, the
// picture's way through the two resizes, and every part that can be missing or wrong.
#include "tests/runtime/effect_fixture.h"

#include "tests/support/scope_end.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

// A folder of the models tests/runtime/make_test_models.py made for a case.
static std::string TestModels( const char* name )
{
	return JoinPath( JoinPath( ExecutableDirectory(), "models" ), name );
}

// The test models answer the red plane, so a red ramp x + y (blue its opposite) comes back as the
// matte after both resizes, up to a level of rounding; the border, where samples clamp, may differ.
static void FillRamp( RefRtImage& source )
{
	for( unsigned y = 0; y < source.height; ++y )
		for( unsigned x = 0; x < source.width; ++x )
		{
			uint8_t* p = static_cast< uint8_t* >( source.pixels ) + y * source.pitch + x * 3;
			p[ 2 ]     = static_cast< uint8_t >( x + y );
			p[ 1 ]     = 0;
			p[ 0 ]     = static_cast< uint8_t >( 255 - ( x + y ) );
		}
}

static int WorstInnerError( const RefRtImage& matte )
{
	int worst = 0;
	for( unsigned y = 2; y + 2 < matte.height; ++y )
		for( unsigned x = 2; x + 2 < matte.width; ++x )
		{
			const int got = static_cast< const uint8_t* >( matte.pixels )[ y * matte.pitch + x ];
			worst         = std::max( worst, std::abs( got - static_cast< int >( x + y ) ) );
		}
	return worst;
}

typedef GreenScreen Network;

// Steps on one effect, each followed by a Run whose matte is checked: new images of another size (one
// side alone too, smaller and larger) and a Load again with the other mode, whose model has another size.
struct NetworkStep
{
	unsigned width, height, mode;
};
static const NetworkStep kNetworkSteps[] = {
	{ 150, 90, 1 }, { 150, 100, 1 }, { 150, 60, 1 }, { 100, 120, 1 }, { 100, 120, 0 }, { 150, 90, 0 }, { 150, 90, 1 },
};

TEST_F( Network, EachModeReadsItsModelAndTheMatteIsTheRedPlaneResizedBack )
{
	// The steps on effect; a second effect at once with mode 0, on another size and padded rows.
	Build( 150, 90, 1, TestModels( "good" ), 1 );
	ASSERT_FALSE( HasFatalFailure() );
	NvVFX_Handle quality = nullptr;
	AtScopeEnd destroyQuality( [ & ] { rt->DestroyEffect( quality ); } );
	RefRtImage& qualitySource = Image();
	RefRtImage& qualityMatte  = Image();
	ASSERT_EQ( NVCV_SUCCESS, rt->CreateEffect( "GreenScreen", &quality ) );
	ASSERT_EQ( NVCV_SUCCESS, rt->SetString( quality, "ModelDir", TestModels( "good" ).c_str() ) );
	ASSERT_EQ( NVCV_SUCCESS, rt->SetU32( quality, "Mode", 0 ) );
	ASSERT_EQ( NVCV_SUCCESS, rt->Alloc( &qualitySource, 100, 120, NVCV_BGR, NVCV_U8, NVCV_CHUNKY, NVCV_GPU, 1 ) );
	ASSERT_EQ( NVCV_SUCCESS, rt->Alloc( &qualityMatte, 100, 120, NVCV_A, NVCV_U8, NVCV_CHUNKY, NVCV_GPU, 16 ) );
	ASSERT_EQ( NVCV_SUCCESS, rt->SetImage( quality, "SrcImage0", &qualitySource ) );
	ASSERT_EQ( NVCV_SUCCESS, rt->SetImage( quality, "DstImage0", &qualityMatte ) );
	ASSERT_EQ( NVCV_SUCCESS, rt->Load( quality ) );
	FillRamp( qualitySource );

	unsigned mode = 1;
	for( const NetworkStep& step : kNetworkSteps )
	{
		SCOPED_TRACE( testing::Message() << step.width << "x" << step.height << " mode " << step.mode );
		if( step.width != source.width || step.height != source.height )
		{
			ASSERT_EQ( NVCV_SUCCESS,
			           rt->Alloc( &source, step.width, step.height, NVCV_BGR, NVCV_U8, NVCV_CHUNKY, NVCV_GPU, 1 ) );
			ASSERT_EQ( NVCV_SUCCESS,
			           rt->Alloc( &matte, step.width, step.height, NVCV_A, NVCV_U8, NVCV_CHUNKY, NVCV_GPU, 1 ) );
			ASSERT_EQ( NVCV_SUCCESS, rt->SetImage( effect, "SrcImage0", &source ) );
			ASSERT_EQ( NVCV_SUCCESS, rt->SetImage( effect, "DstImage0", &matte ) );
		}
		if( step.mode != mode )
		{
			mode = step.mode;
			ASSERT_EQ( NVCV_SUCCESS, rt->SetU32( effect, "Mode", mode ) );
			ASSERT_EQ( NVCV_SUCCESS, rt->Load( effect ) );
		}
		FillRamp( source );
		std::memset( matte.pixels, 0, matte.bufferBytes );
		ASSERT_EQ( NVCV_SUCCESS, rt->Run( effect, 0 ) );
		ASSERT_EQ( NVCV_SUCCESS, rt->Run( quality, 0 ) );
		EXPECT_LE( WorstInnerError( matte ), 1 );
		EXPECT_LE( WorstInnerError( qualityMatte ), 1 ) << "the second effect";
	}
	// Two effects, a stream, four buffers and a session per effect.
	EXPECT_EQ( liveAtStart + 9, rt->LiveObjects() );
}

// A part that is missing or wrong fails Load with one line on stderr, and the effect stays unloaded.
struct BadPart
{
	const char* folder;
	unsigned mode;
	const char* reason;
};
static const BadPart kBadParts[] = {
	{ "quality_only", 1, "selfie_segmentation_landscape.onnx missing" },
	{ "truncated", 0, "unusable" },
	{ "input_name", 0, "unusable" },
	{ "output_name", 0, "unusable" },
	{ "input_shape", 0, "unusable" },
	{ "output_shape", 0, "unusable" },
};

TEST_F( Network, BadModelsFailLoadWithOneLine )
{
	for( const BadPart& part : kBadParts )
	{
		SCOPED_TRACE( part.folder );
		NvVFX_Handle bad = nullptr;
		ASSERT_EQ( NVCV_SUCCESS, rt->CreateEffect( "GreenScreen", &bad ) );
		AtScopeEnd destroy( [ & ] { rt->DestroyEffect( bad ); } );
		ASSERT_EQ( NVCV_SUCCESS, rt->SetString( bad, "ModelDir", TestModels( part.folder ).c_str() ) );
		ASSERT_EQ( NVCV_SUCCESS, rt->SetU32( bad, "Mode", part.mode ) );
		testing::internal::CaptureStderr();
		const NvCV_Status status = rt->Load( bad );
		const std::string said   = testing::internal::GetCapturedStderr();
		EXPECT_EQ( NVCV_ERR_MODEL, status );
		EXPECT_EQ( 0u, said.find( "NVVideoEffects: " ) ) << said;
		EXPECT_NE( std::string::npos, said.find( part.reason ) ) << said;
		EXPECT_EQ( said.size() - 1, said.find( '\n' ) ) << said;
		EXPECT_EQ( NVCV_ERR_MODEL, rt->Run( bad, 0 ) );
		EXPECT_EQ( liveAtStart + 1, rt->LiveObjects() ); // the effect alone: no session kept
	}
}

// ONNX Runtime's library beside the runtime is missing, or is not a library: a runtime copy of its own
// (the runtime loads it once), laid out by the test.
class InferenceLibraryFault : public GreenScreen
{
protected:
	RuntimeSettings Settings() const override
	{
		RuntimeSettings settings;
		settings.folder = Garbage() ? "refrt_garbage_inference" : "refrt_no_inference";
		return settings;
	}
	void SetUp() override
	{
		const std::string built  = JoinPath( ExecutableDirectory(), "refrt" );
		const std::string folder = JoinPath( ExecutableDirectory(), Settings().folder );
		ASSERT_TRUE( MakeDirectories( folder ) );
		for( const std::string& file : { kImageFile, kEffectsFile } )
			ASSERT_TRUE( CopyFileTo( JoinPath( built, file ), JoinPath( folder, file ) ) );
		const std::string inference = JoinPath( folder, kInferenceLibraryFile );
		RemoveFile( inference );
		if( Garbage() )
		{
			ASSERT_TRUE( CopyFileTo( JoinPath( TestModels( "truncated" ), "selfie_segmentation.onnx" ), inference ) );
		}
		GreenScreen::SetUp();
	}
	static bool Garbage()
	{
		return std::string( ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name() ) ==
		       "GarbageInferenceLibrary";
	}

	void ExpectLoadFails()
	{
		// Without a model the keyer needs no network library.
		Build( 4, 2 );
		ASSERT_FALSE( HasFatalFailure() );
		ASSERT_EQ( NVCV_SUCCESS, rt->SetString( effect, "ModelDir", TestModels( "good" ).c_str() ) );
		for( int attempt = 0; attempt < 2; ++attempt )
		{
			testing::internal::CaptureStderr();
			EXPECT_EQ( NVCV_ERR_LIBRARY, rt->Load( effect ) );
			const std::string said = testing::internal::GetCapturedStderr();
			EXPECT_EQ( 0u, said.find( "NVVideoEffects: cannot load " ) ) << said;
			EXPECT_NE( std::string::npos, said.find( kInferenceLibraryFile ) ) << said;
			EXPECT_EQ( NVCV_ERR_MODEL, rt->Run( effect, 0 ) );
		}
	}
};
typedef InferenceLibraryFault NoInferenceLibrary;
typedef InferenceLibraryFault GarbageInferenceLibrary;

TEST_F( NoInferenceLibrary, LoadFails )
{
	ExpectLoadFails();
}

TEST_F( GarbageInferenceLibrary, LoadFails )
{
	ExpectLoadFails();
}

// The shipped models, both modes, on a picture: loading and running them goes through every entry of
// ONNX Runtime's table the runtime calls, and a wrong one fails at once.
TEST_F( Network, ShippedModelsLoadAndRunInBothModes )
{
	for( unsigned mode = 0; mode < 2; ++mode )
	{
		SCOPED_TRACE( mode );
		Build( 96, 54, 1, TestModels( "real" ), mode );
		ASSERT_FALSE( HasFatalFailure() );
		FillRamp( source );
		std::memset( matte.pixels, 77, matte.bufferBytes );
		ASSERT_EQ( NVCV_SUCCESS, rt->Run( effect, 0 ) );
		EXPECT_NE( nullptr, std::memchr( matte.pixels, 0, matte.bufferBytes ) ) << "the network wrote no clear pixel";
		rt->DestroyEffect( effect );
		effect = nullptr;
		EXPECT_EQ( NVCV_SUCCESS, rt->CudaStreamDestroy( stream ) );
		stream = nullptr;
	}
}
