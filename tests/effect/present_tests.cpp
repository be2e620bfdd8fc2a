// With the reference runtime in place: the engine's set-up, the frame timeline, rebuilds, the shader's
// output, smoothing, GL state, several instances. Pixels are read back from the host's framebuffer.
#include "tests/effect/effect_host.h"

#include "tests/support/test_process.h"

#include <cmath>

static const char* const kEngineLine = "Umbrafex: NvVFX AI Green Screen charge (v2 async)";

class PresentTest : public EffectTest
{
protected:
	void SetUp() override { UseScenario( { "present", true, false, true, nullptr } ); }
};

TEST_F( PresentTest, SetupCallsAndOneFrameOfLatency )
{
	const size_t mark     = CallLogMark();
	FFInstanceID instance = InstantiateUnsmoothed();
	ASSERT_NE( nullptr, instance );
	const Picture person = MakePicture( 32, 16, []( int, int ) { return kPersonRed; } );
	const Picture green  = MakePicture( 32, 16, []( int, int ) { return kBackdrop; } );
	const ScopedTarget target( MakeTarget( 32, 16 ) );

	// The set-up frame passes through; each later frame carries the previous frame's matte.
	ASSERT_EQ( FF_SUCCESS, Frame( instance, green, target ) );
	EXPECT_TRUE( SameColour( kBackdrop, ReadOutput( target ).At( 5, 5 ) ) );
	ASSERT_EQ( FF_SUCCESS, Frame( instance, person, target ) );
	EXPECT_TRUE( SameColour( kTransparent, ReadOutput( target ).At( 5, 5 ) ) );
	ASSERT_EQ( FF_SUCCESS, Frame( instance, green, target ) );
	EXPECT_TRUE( SameColour( kBackdrop, ReadOutput( target ).At( 5, 5 ) ) );
	EXPECT_EQ( ( std::vector< std::string >{ kCreatedLine, kEngineLine } ), Lines() );

	const std::string calls = CallLogSince( mark );
	size_t at               = 0;
	for( const std::string& step : std::vector< std::string >{
	         "NvVFX_CreateEffect GreenScreen", "NvVFX_SetString", " ModelDir " + ScenarioRoot() + "\\models\n",
	         " Mode 0\n", " Temporal 1\n", "NvVFX_CudaStreamCreate", "NvVFX_SetCudaStream", " 32 16 5 1 0 1 1\n",
	         " 32 16 2 1 0 1 1\n", " 32 16 2 1 0 0 1\n", " SrcImage0 ", " DstImage0 ", "NvVFX_Load", " 32 16 -128 ",
	         " 6 1 0 0\n", "NvVFX_Run" } )
	{
		const size_t found = calls.find( step, at );
		ASSERT_NE( std::string::npos, found ) << "missing, or out of order: " << step << "\n" << calls;
		at = found;
	}
	EXPECT_EQ( 2, Occurrences( calls, "NvVFX_Run " ) );

	Deinstantiate( instance );
	EXPECT_EQ( 0, RuntimeLiveObjects() );
}

TEST_F( PresentTest, MatteIsUprightAndOutputPremultiplied )
{
	FFInstanceID instance  = InstantiateUnsmoothed();
	const Rgba translucent = { 100, 20, 20, 128 };
	const Picture input    = MakePicture( 32, 16, [ & ]( int, int y ) { return y < 8 ? kBackdrop : translucent; } );
	const ScopedTarget target( MakeTarget( 32, 16 ) );
	Frame( instance, input, target );
	Frame( instance, input, target );
	// Top rows backdrop: transparent black. Bottom rows person: the input, alpha included.
	const Output out = ReadOutput( target );
	for( int x : { 0, 17, 31 } )
	{
		EXPECT_TRUE( SameColour( kTransparent, out.At( x, 2 ) ) ) << x;
		EXPECT_TRUE( SameColour( translucent, out.At( x, 13 ) ) ) << x;
	}
}

TEST_F( PresentTest, ShowMaskAndEdgeHard )
{
	FFInstanceID instance = InstantiateUnsmoothed();
	SetParameter( instance, kShowMask, 1.0f );
	SetParameter( instance, kEdgeHard, 1.0f );
	// Keyed to 115 (0.451) on the left and 139 (0.545) on the right: d = 51 and d = 45.
	const Rgba low = { 50, 101, 50, 255 }, high = { 50, 95, 50, 255 };
	const Picture input = MakePicture( 32, 16, [ & ]( int x, int ) { return x < 16 ? low : high; } );
	const ScopedTarget target( MakeTarget( 32, 16 ) );
	Frame( instance, input, target );
	Frame( instance, input, target );
	Output out = ReadOutput( target );
	EXPECT_TRUE( SameColour( { 0, 0, 0, 255 }, out.At( 4, 8 ) ) );
	EXPECT_TRUE( SameColour( { 255, 255, 255, 255 }, out.At( 28, 8 ) ) );

	// Edge Hard 0: smoothstep over 0..1.
	SetParameter( instance, kEdgeHard, 0.0f );
	Frame( instance, input, target );
	out         = ReadOutput( target );
	auto smooth = []( float x ) { return static_cast< uint8_t >( std::lround( 255.f * x * x * ( 3.f - 2.f * x ) ) ); };
	const uint8_t g115 = smooth( 115.f / 255.f ), g139 = smooth( 139.f / 255.f );
	EXPECT_TRUE( SameColour( { g115, g115, g115, 255 }, out.At( 4, 8 ) ) );
	EXPECT_TRUE( SameColour( { g139, g139, g139, 255 }, out.At( 28, 8 ) ) );

	// Mask off, Edge Hard 1: the left is cut away, the right keeps the input.
	SetParameter( instance, kShowMask, 0.0f );
	SetParameter( instance, kEdgeHard, 1.0f );
	Frame( instance, input, target );
	out = ReadOutput( target );
	EXPECT_TRUE( SameColour( kTransparent, out.At( 4, 8 ) ) );
	EXPECT_TRUE( SameColour( high, out.At( 28, 8 ) ) );
}

TEST_F( PresentTest, PictureInsideLargerTextureIsSampledOnlyInsideItsArea )
{
	FFInstanceID instance = InstantiateUnsmoothed();
	// 48 x 16 picture in a 64 x 32 texture; outside it the texture is blue (keyed as person).
	const Picture input = MakePicture(
	    48, 16, []( int x, int ) { return x < 24 ? kPersonRed : kBackdrop; }, 64, 32 );
	const ScopedTarget target( MakeTarget( 48, 16 ) );
	Frame( instance, input, target );
	Output out = ReadOutput( target );
	EXPECT_TRUE( SameColour( kPersonRed, out.At( 1, 1 ) ) );
	EXPECT_TRUE( SameColour( kBackdrop, out.At( 47, 0 ) ) );
	// The matte spans the quad: its edge sits at the picture's middle, not scaled by MaxUV.
	Frame( instance, input, target );
	out = ReadOutput( target );
	EXPECT_TRUE( SameColour( kPersonRed, out.At( 22, 8 ) ) );
	EXPECT_TRUE( SameColour( kTransparent, out.At( 26, 8 ) ) );
	EXPECT_TRUE( SameColour( kTransparent, out.At( 47, 15 ) ) );
}

// Show Mask with Edge Hard 0 draws smoothstep(0, 1, history / 255); a float target keeps it exact
// enough to recover the uploaded byte.
static int UploadedByte( const Output& out, int x, int y )
{
	const float grey = out.Grey( x, y );
	int best         = 0;
	for( int b = 1; b < 256; ++b )
	{
		const double x = b / 255.0, prior = best / 255.0;
		if( std::fabs( x * x * ( 3 - 2 * x ) - grey ) < std::fabs( prior * prior * ( 3 - 2 * prior ) - grey ) )
			best = b;
	}
	return best;
}

TEST_F( PresentTest, SmoothingOfAConstantMatte )
{
	FFInstanceID instance = Instantiate();
	SetParameter( instance, kShowMask, 1.0f );
	SetParameter( instance, kEdgeHard, 0.0f );
	// 40 x 8 matte bytes: two 128-byte blocks of the blend's vector loop, then its 64-byte scalar tail.
	const Picture input = MakePicture( 40, 8, []( int, int ) { return kPersonRed; } );
	const ScopedTarget target( MakeTarget( 40, 8, 0.f, 0.f, 0.f, 0.f, GL_RGBA32F ) );
	auto next = [ & ]() {
		Frame( instance, input, target );
		const Output out  = ReadOutput( target );
		const int inBlock = UploadedByte( out, 4, 1 );
		EXPECT_EQ( inBlock, UploadedByte( out, 36, 7 ) ) << "the tail and the blocks disagree";
		return inBlock;
	};
	auto rebuild = [ & ]( float quality ) {
		SetParameter( instance, kQuality, quality );
		Frame( instance, input, target );
	};

	Frame( instance, input, target );
	for( int expected : { 140, 203, 231, 244, 250, 252, 253, 254, 254 } )
		EXPECT_EQ( expected, next() );

	// A rebuild restarts the history from 0.
	rebuild( 0.9f );
	SetParameter( instance, kStability, 1.0f );
	for( int expected : { 25, 48, 69 } )
		EXPECT_EQ( expected, next() );
	// Off at 0 and at 0.01: the raw matte, and the history is left as it was.
	SetParameter( instance, kStability, 0.0f );
	EXPECT_EQ( 255, next() );
	SetParameter( instance, kStability, 0.01f );
	EXPECT_EQ( 255, next() );
	SetParameter( instance, kStability, 1.0f );
	EXPECT_EQ( ( 69 * 230 + 255 * 26 ) >> 8, next() );
	// Beyond 257/230 the history's weight is capped at 256: it holds, and the field keeps the value.
	SetParameter( instance, kStability, 2.0f );
	EXPECT_EQ( 87, next() );
	EXPECT_EQ( 87, next() );
	EXPECT_EQ( 2.0f, GetParameter( instance, kStability ) );

	rebuild( 0.8f );
	SetParameter( instance, kStability, 0.0101f );
	EXPECT_EQ( ( 255 * 254 ) >> 8, next() );
}

TEST_F( PresentTest, SizeAndQualityChangesRebuild )
{
	FFInstanceID instance = InstantiateUnsmoothed();
	const Picture small   = Split( 32, 16 );
	const Picture wide    = Split( 1066, 600 );
	const ScopedTarget target( MakeTarget( 32, 16 ) );
	EXPECT_FALSE( Matted( instance, small, target ) );
	EXPECT_TRUE( Matted( instance, small, target ) );

	// The current value is no change.
	SetParameter( instance, kQuality, 1.0f );
	EXPECT_TRUE( Matted( instance, small, target ) );
	EXPECT_EQ( 1, LineCount( kEngineLine ) );

	size_t mark = CallLogMark();
	SetParameter( instance, kQuality, 0.0f );
	EXPECT_FALSE( Matted( instance, small, target ) );
	EXPECT_TRUE( Matted( instance, small, target ) );
	EXPECT_EQ( 1, Occurrences( CallLogSince( mark ), " Mode 1\n" ) );
	mark = CallLogMark();
	SetParameter( instance, kQuality, 1.0f );
	EXPECT_FALSE( Matted( instance, small, target ) );
	EXPECT_EQ( 1, Occurrences( CallLogSince( mark ), " Mode 0\n" ) );
	EXPECT_EQ( 3, LineCount( kEngineLine ) );

	// NaN is never equal: each set rebuilds, in the performance mode.
	mark = CallLogMark();
	SetParameter( instance, kQuality, std::nanf( "" ) );
	EXPECT_FALSE( Matted( instance, small, target ) );
	SetParameter( instance, kQuality, std::nanf( "" ) );
	EXPECT_FALSE( Matted( instance, small, target ) );
	EXPECT_EQ( 2, Occurrences( CallLogSince( mark ), " Mode 1\n" ) );
	SetParameter( instance, kQuality, 1.0f );

	// Any size change rebuilds; 1066 x 600 runs at 958 x 540.
	mark = CallLogMark();
	EXPECT_FALSE( Matted( instance, wide, target ) );
	EXPECT_TRUE( Matted( instance, wide, target ) );
	EXPECT_EQ( 1, Occurrences( CallLogSince( mark ), " 958 540 5 1 0 1 1\n" ) );
	EXPECT_FALSE( Matted( instance, small, target ) );
	// The width alone, then the height alone.
	const Picture wider  = Split( 48, 16 );
	const Picture taller = Split( 48, 20 );
	EXPECT_FALSE( Matted( instance, wider, target ) );
	EXPECT_FALSE( Matted( instance, taller, target ) );
	EXPECT_TRUE( Matted( instance, taller, target ) );
	EXPECT_EQ( 9, LineCount( kEngineLine ) );
	Deinstantiate( instance );
	EXPECT_EQ( 0, RuntimeLiveObjects() );
}

TEST_F( PresentTest, TooSmallInputLatchesWithoutMessage )
{
	FFInstanceID instance = Instantiate();
	const Picture tiny    = MakePicture( 1, 1, []( int, int ) { return kBackdrop; } );
	const Picture input   = Split( 32, 16 );
	const ScopedTarget target( MakeTarget( 32, 16 ) );
	Frame( instance, tiny, target );
	EXPECT_TRUE( SameColour( kBackdrop, ReadOutput( target ).At( 3, 3 ) ) );
	EXPECT_FALSE( Matted( instance, input, target ) );
	EXPECT_FALSE( Matted( instance, input, target ) );
	EXPECT_EQ( std::vector< std::string >{ kCreatedLine }, Lines() );
	Deinstantiate( instance );

	instance = InstantiateUnsmoothed();
	EXPECT_FALSE( Matted( instance, input, target ) );
	EXPECT_TRUE( Matted( instance, input, target ) );
}

TEST_F( PresentTest, FailedFramebufferCheckStillDrawsIntoHostFramebuffer )
{
	const GLint maxSize   = GLInteger( GL_MAX_TEXTURE_SIZE );
	FFInstanceID instance = Instantiate();
	Picture input         = MakePicture( 4, 4, []( int, int ) { return kBackdrop; } );
	// The record claims a picture taller than any texture: the scaled texture cannot be made.
	input.info.Width = input.info.HardwareWidth = 960;
	input.info.Height = input.info.HardwareHeight = static_cast< uint32_t >( maxSize ) + 2;
	const ScopedTarget target( MakeTarget( 16, 16 ) );
	EXPECT_EQ( FF_SUCCESS, Frame( instance, input, target ) );
	EXPECT_TRUE( SameColour( kBackdrop, ReadOutput( target ).At( 8, 8 ) ) );
	EXPECT_EQ( 0, RuntimeLiveObjects() );
	EXPECT_EQ( static_cast< GLint >( target.framebuffer ), GLInteger( GL_DRAW_FRAMEBUFFER_BINDING ) );
	Frame( instance, input, target );
	EXPECT_EQ( ( std::vector< std::string >{ kCreatedLine, "Umbrafex: FBO incomplet" } ), Lines() );
}

TEST_F( PresentTest, ModelDirectoryFromTheEnvironmentUpTo1023Characters )
{
	const Picture input = Split( 32, 16 );
	const ScopedTarget target( MakeTarget( 32, 16 ) );
	const std::string fits( 1023, 'm' );
	const std::string expected[] = {
		" ModelDir " + fits + "\\models\n",
		" ModelDir C:\\Program Files\\NVIDIA Corporation\\NVIDIA Video Effects\\models\n"
	};
	for( const std::string& line : expected )
	{
		const std::string value = &line == expected ? fits : fits + "m";
		SetEnvironmentValue( "NV_VIDEO_EFFECTS_PATH", value.c_str() );
		const size_t mark     = CallLogMark();
		FFInstanceID instance = Instantiate();
		Frame( instance, input, target );
		EXPECT_EQ( 1, Occurrences( CallLogSince( mark ), line ) );
		Deinstantiate( instance );
	}
	SetEnvironmentValue( "NV_VIDEO_EFFECTS_PATH", ScenarioRoot().c_str() );
}

TEST_F( PresentTest, NoInputFailsAndGLStateIsLeftAtTheDefaults )
{
	FFInstanceID instance = Instantiate();
	const ScopedTarget target( MakeTarget( 32, 16, 0.f, 0.f, 1.f, 1.f ) );
	// Bound as the host binds it for a frame: a call that fails must draw nothing into it.
	ProcessOpenGLStruct noInput = { 0, nullptr, target.framebuffer };
	EXPECT_EQ( FF_FAIL, Frame( instance, noInput, target ) );
	FFGLTextureStruct* none[ 1 ] = { nullptr };
	noInput                      = { 1, none, target.framebuffer };
	EXPECT_EQ( FF_FAIL, Frame( instance, noInput, target ) );
	EXPECT_TRUE( SameColour( { 0, 0, 255, 255 }, ReadOutput( target ).At( 3, 3 ) ) );

	// A frame with the engine ready, the host's state other than the plug-in leaves it.
	const Picture input = Split( 32, 16 );
	Frame( instance, input, target );
	glBindFramebuffer( GL_FRAMEBUFFER, 0 );
	glPixelStorei( GL_PACK_ALIGNMENT, 4 );
	glPixelStorei( GL_UNPACK_ALIGNMENT, 4 );
	glActiveTexture( GL_TEXTURE3 );
	const FrameRecord frame( input, target.framebuffer );
	EXPECT_EQ( FF_SUCCESS, MixedLowBits( CallWith( FF_PROCESS_OPENGL, &frame.record, instance ) ) );
	EXPECT_EQ( static_cast< GLint >( target.framebuffer ), GLInteger( GL_DRAW_FRAMEBUFFER_BINDING ) );
	EXPECT_EQ( static_cast< GLint >( target.framebuffer ), GLInteger( GL_READ_FRAMEBUFFER_BINDING ) );
	// Hosts upload and read rows of any width: the alignment the frame used is put back to 4.
	EXPECT_EQ( 4, GLInteger( GL_PACK_ALIGNMENT ) );
	EXPECT_EQ( 4, GLInteger( GL_UNPACK_ALIGNMENT ) );
	EXPECT_EQ( 0, GLInteger( GL_PIXEL_PACK_BUFFER_BINDING ) );
	EXPECT_EQ( 0, GLInteger( GL_CURRENT_PROGRAM ) );
	EXPECT_EQ( 0, GLInteger( GL_VERTEX_ARRAY_BINDING ) );
	EXPECT_EQ( GL_TEXTURE0, GLInteger( GL_ACTIVE_TEXTURE ) );
	EXPECT_EQ( 0, GLInteger( GL_TEXTURE_BINDING_2D ) );
	glActiveTexture( GL_TEXTURE1 );
	EXPECT_EQ( 0, GLInteger( GL_TEXTURE_BINDING_2D ) );
	glActiveTexture( GL_TEXTURE0 );
}

TEST_F( PresentTest, InstancesKeepTheirOwnEnginesWithFramesInterleaved )
{
	const size_t mark  = CallLogMark();
	FFInstanceID a     = InstantiateUnsmoothed();
	FFInstanceID b     = InstantiateUnsmoothed();
	const Picture wide = Split( 32, 16 );
	const Picture tall = MakePicture( 16, 32, []( int, int y ) { return y < 16 ? kBackdrop : kPersonRed; } );
	const ScopedTarget wideTarget( MakeTarget( 32, 16 ) );
	const ScopedTarget tallTarget( MakeTarget( 16, 32 ) );
	for( int frame = 0; frame < 3; ++frame )
	{
		EXPECT_EQ( frame > 0, Matted( a, wide, wideTarget ) );
		Frame( b, tall, tallTarget );
		const Output out = ReadOutput( tallTarget );
		EXPECT_TRUE( SameColour( kPersonRed, out.At( 8, 28 ) ) );
		EXPECT_TRUE( SameColour( frame > 0 ? kTransparent : kBackdrop, out.At( 8, 3 ) ) );
	}
	const std::string calls = CallLogSince( mark );
	EXPECT_EQ( 2, Occurrences( calls, "NvVFX_CreateEffect " ) );
	EXPECT_EQ( 2, Occurrences( calls, "NvVFX_CudaStreamCreate " ) );
	EXPECT_EQ( 2, LineCount( kEngineLine ) );
	Deinstantiate( a );
	EXPECT_GT( RuntimeLiveObjects(), 0 );
	Deinstantiate( b );
	EXPECT_EQ( 0, RuntimeLiveObjects() );
}
