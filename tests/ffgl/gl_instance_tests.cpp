// GL instantiation and frames on a real context: defaults before InitGL, every failure leaving no
// instance, and code 17's connection bookkeeping and input checks.
#include "tests/ffgl/spine_fixture.h"
#include "tests/support/gl_helpers.h"

#include <cstring>

typedef SpineGLTest GLInstances;

TEST_F( GLInstances, DefaultsArePushedBeforeInitGL )
{
	TestPlugin* instance = Instantiate( { 3, 4, 640, 360 } );
	ASSERT_NE( nullptr, instance );
	EXPECT_EQ( instance, instance->self );
	// Prototype first; the record with a repeated identifier at position 6 has no identifier 6.
	EXPECT_EQ( "created;created;SetFloat 0;SetFloat 1;SetText 2;SetText 3;SetFloat 4;SetFloat 5;InitGL;",
	           testPlugin.calls );
	EXPECT_EQ( 1.7f, instance->values[ kTestSwitch ] );
	EXPECT_EQ( 0.5f, instance->values[ kTestLevel ] );
	EXPECT_EQ( 1.f, instance->values[ kTestHigh ] );
	EXPECT_EQ( 0.f, instance->values[ kTestLow ] );
	FFGLViewportStruct expected = { 3, 4, 640, 360 };
	EXPECT_EQ( 0, std::memcmp( &expected, &testPlugin.initViewport, sizeof( expected ) ) );
	EXPECT_EQ( 0, std::memcmp( &expected, &instance->viewport, sizeof( expected ) ) );
	EXPECT_TRUE( glewAttempted );
	EXPECT_TRUE( glewReady );
	EXPECT_FALSE( instance->connected );

	// Each code 18 makes an independent instance; the prototype is not made again.
	TestPlugin* second = Instantiate();
	ASSERT_NE( nullptr, second );
	EXPECT_NE( instance, second );
	EXPECT_EQ( 3, testPlugin.constructed );
	EXPECT_EQ( FF_SUCCESS, Deinstantiate( instance ) );
	EXPECT_EQ( FF_SUCCESS, Deinstantiate( second ) );
	EXPECT_EQ( 2, testPlugin.destroyed );
}

TEST_F( GLInstances, FailedInitGLIsUndoneAndDestroyed )
{
	testPlugin.initGLResult = 5;
	EXPECT_EQ( nullptr, Instantiate() );
	EXPECT_EQ( kFailPointer, lastInstantiation );
	EXPECT_EQ( "InitGL;DeInitGL;destroyed;", testPlugin.calls.substr( testPlugin.calls.find( "InitGL" ) ) );
	EXPECT_EQ( 1, testPlugin.constructed - testPlugin.destroyed );
}

TEST_F( GLInstances, FailedDefaultIsDestroyedBeforeInitGL )
{
	testPlugin.failSetFloatIndex = kTestHigh;
	EXPECT_EQ( nullptr, Instantiate() );
	EXPECT_EQ( kFailPointer, lastInstantiation );
	EXPECT_EQ( "created;created;SetFloat 0;SetFloat 1;SetText 2;SetText 3;SetFloat 4;destroyed;", testPlugin.calls );
	EXPECT_EQ( 0, testPlugin.initGL );
}

TEST_F( GLInstances, CreationThatThrowsLeavesNothingBehind )
{
	// A default push that throws: deleted before InitGL. An InitGL that throws: DeInitGL, then deleted.
	const char* const steps[][ 2 ] = { { "SetFloat 4", "SetFloat 4;destroyed;" },
		                               { "InitGL", "InitGL;DeInitGL;destroyed;" } };
	for( const auto& step : steps )
	{
		testPlugin.throwIn = step[ 0 ];
		EXPECT_EQ( nullptr, Instantiate() ) << step[ 0 ];
		EXPECT_EQ( kFailPointer, lastInstantiation );
		const std::string tail( step[ 1 ] );
		ASSERT_LE( tail.size(), testPlugin.calls.size() );
		EXPECT_EQ( tail, testPlugin.calls.substr( testPlugin.calls.size() - tail.size() ) );
	}
	// Only the prototype is left.
	EXPECT_EQ( 1, testPlugin.constructed - testPlugin.destroyed );
}

TEST_F( GLInstances, FactoryOrViewportFailureGivesTheFailurePointer )
{
	EXPECT_EQ( kFailPointer, Bits( CallWith( FF_INSTANTIATE_GL, nullptr ) ) );
	EXPECT_EQ( 0, testPlugin.constructed );

	Call( FF_INITIALISE_V2 );
	testPlugin.factoryFails = true;
	EXPECT_EQ( nullptr, Instantiate() );
	EXPECT_EQ( kFailPointer, lastInstantiation );
	Call( FF_DEINITIALISE );
	EXPECT_EQ( nullptr, Instantiate() );
	EXPECT_EQ( kFailPointer, lastInstantiation );
	EXPECT_EQ( testPlugin.constructed, testPlugin.destroyed );
}

class GLFrames : public SpineGLTest
{
protected:
	void SetUp() override
	{
		SpineGLTest::SetUp();
		target                  = MakeTarget( 4, 4, 0.f, 0.f, 1.f, 1.f );
		const uint8_t grey[ 4 ] = { 90, 90, 90, 255 };
		input                   = { 1, 1, 1, 1, MakeTexture( 1, 1, grey ) };
		inputs[ 0 ]             = &input;
		frame                   = { 1, inputs, target.framebuffer };
		instance                = Instantiate( { 0, 0, 4, 4 } );
		ASSERT_NE( nullptr, instance );
		testPlugin.calls.clear();
	}
	void TearDown() override
	{
		SpineGLTest::TearDown();
		glDeleteTextures( 1, &input.Handle );
		DeleteTarget( target );
	}
	bool TargetIsBlue()
	{
		std::vector< uint8_t > pixels = ReadPixels( target.framebuffer, 4, 4 );
		const uint8_t blue[ 4 ]       = { 0, 0, 255, 255 };
		return std::memcmp( PixelAt( pixels, 4, 2, 2 ), blue, 4 ) == 0;
	}

	TestTarget target;
	FFGLTextureStruct input = {};
	FFGLTextureStruct* inputs[ 1 ];
	ProcessOpenGLStruct frame = {};
	TestPlugin* instance      = nullptr;
};

TEST_F( GLFrames, FirstFrameConnectsOnceAndDraws )
{
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_PROCESS_OPENGL, &frame, instance ) ) );
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_PROCESS_OPENGL, &frame, instance ) ) );
	EXPECT_EQ( "Connect;ProcessOpenGL;ProcessOpenGL;", testPlugin.calls );
	EXPECT_TRUE( instance->connected );
	EXPECT_EQ( input.Handle, testPlugin.lastInputHandle );

	// Cleared to (Level, Switch, 0, 1) through the host's framebuffer, binding put back.
	std::vector< uint8_t > pixels = ReadPixels( target.framebuffer, 4, 4 );
	const uint8_t* pixel          = PixelAt( pixels, 4, 1, 3 );
	EXPECT_NEAR( 128, pixel[ 0 ], 1 );
	EXPECT_EQ( 255, pixel[ 1 ] );
	EXPECT_EQ( 0, pixel[ 2 ] );
	EXPECT_EQ( 0, GLInteger( GL_DRAW_FRAMEBUFFER_BINDING ) );

	testPlugin.calls.clear();
	EXPECT_EQ( FF_SUCCESS, Deinstantiate( instance ) );
	EXPECT_EQ( "Disconnect;DeInitGL;destroyed;", testPlugin.calls );
}

TEST_F( GLFrames, FailedConnectStillCountsAsConnected )
{
	testPlugin.connectResult = FF_FAIL;
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_PROCESS_OPENGL, &frame, instance ) ) );
	EXPECT_TRUE( instance->connected );
	CallWith( FF_PROCESS_OPENGL, &frame, instance );
	EXPECT_EQ( 1, testPlugin.connects );
}

TEST_F( GLFrames, FramesWithoutTheirInputsAreRefusedUndrawn )
{
	frame.inputTextures = nullptr;
	EXPECT_EQ( kFailBits, Bits( CallWith( FF_PROCESS_OPENGL, &frame, instance ) ) );
	inputs[ 0 ]         = nullptr;
	frame.inputTextures = inputs;
	EXPECT_EQ( kFailBits, Bits( CallWith( FF_PROCESS_OPENGL, &frame, instance ) ) );
	EXPECT_EQ( "", testPlugin.calls );
	EXPECT_FALSE( instance->connected );
	EXPECT_TRUE( TargetIsBlue() );

	// No inputs named: no array needed.
	frame = { 0, nullptr, target.framebuffer };
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_PROCESS_OPENGL, &frame, instance ) ) );
	EXPECT_EQ( 0u, testPlugin.lastInputHandle );
	EXPECT_FALSE( TargetIsBlue() );
}

TEST_F( GLFrames, EntriesBeyondMaxInputsAreNeitherCheckedNorRead )
{
	// The test plug-in reads one input: a null entry after it does not turn the frame away.
	FFGLTextureStruct* withNull[ 2 ] = { &input, nullptr };
	frame                            = { 2, withNull, target.framebuffer };
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_PROCESS_OPENGL, &frame, instance ) ) );
	EXPECT_EQ( input.Handle, testPlugin.lastInputHandle );
	EXPECT_FALSE( TargetIsBlue() );
	// A count far beyond the array: nothing past entry 0 is read (the sanitizer build sees any overrun).
	std::vector< FFGLTextureStruct* > one( 1, &input );
	frame = { 0xFFFFFFFFu, one.data(), target.framebuffer };
	EXPECT_EQ( FF_SUCCESS, Bits( CallWith( FF_PROCESS_OPENGL, &frame, instance ) ) );
	EXPECT_EQ( 2, testPlugin.frames );
}
