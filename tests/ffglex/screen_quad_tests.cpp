// ScreenQuad on a real context: what it draws (orientation, coverage, winding) and the bindings it
// leaves behind.
#include "ffglex/scoped_bindings.h"
#include "ffglex/screen_quad.h"
#include "ffglex/shader_program.h"
#include "tests/ffglex/quad_shaders.h"
#include "tests/support/gl_helpers.h"
#include "tests/support/gl_test.h"
#include "tests/support/scope_end.h"

#include <cstring>

using ffglex::ScreenQuad;

static const uint8_t kRed[ 4 ]   = { 255, 0, 0, 255 };
static const uint8_t kGreen[ 4 ] = { 0, 255, 0, 255 };
static const uint8_t kBlue[ 4 ]  = { 0, 0, 255, 255 };
static const uint8_t kWhite[ 4 ] = { 255, 255, 255, 255 };
static const uint8_t kBlank[ 4 ] = { 0, 0, 0, 0 };

// The colours of a picture's four quadrants.
struct Quadrants
{
	const uint8_t* topLeft;
	const uint8_t* topRight;
	const uint8_t* bottomLeft;
	const uint8_t* bottomRight;
};

// The test texture as the quad must show it: each corner its own colour, so that a table
// mirrored in u or in v shows.
static const Quadrants kUpright  = { kGreen, kWhite, kRed, kBlue };
static const Quadrants kFlippedV = { kRed, kBlue, kGreen, kWhite };
static const Quadrants kNothing  = { kBlank, kBlank, kBlank, kBlank };

class ScreenQuadTest : public GLTest
{
protected:
	void SetUp() override
	{
		GLTest::SetUp();
		if( HasFatalFailure() )
			return;
		haveContext = true;
		ASSERT_TRUE( program.Compile( kPassVertexSource, kTextureFragmentSource ) );
		// 2 x 2, rows bottom first: red, blue below; green, white on top.
		const uint8_t rows[ 16 ] = { 255, 0, 0, 255, 0, 0, 255, 255, 0, 255, 0, 255, 255, 255, 255, 255 };
		texture                  = MakeTexture( 2, 2, rows );
		target                   = MakeTarget( 4, 4 );
	}

	void TearDown() override
	{
		if( !haveContext )
			return;
		quad.Release();
		DeleteTarget( target );
		glDeleteTextures( 1, &texture );
		program.Release();
	}

	// Clears the 4 x 4 target, draws the textured quad into it and checks each quadrant.
	void ExpectDrawn( ScreenQuad& drawn, const Quadrants& expected )
	{
		glBindFramebuffer( GL_FRAMEBUFFER, target.framebuffer );
		glClearColor( 0.f, 0.f, 0.f, 0.f );
		glClear( GL_COLOR_BUFFER_BIT );
		{
			ffglex::ScopedProgramBinding use( program.ProgramName() );
			ffglex::ScopedTextureUnitBinding unit( 0 );
			ffglex::Scoped2DTextureBinding bind( texture );
			drawn.Draw();
		}
		glBindFramebuffer( GL_FRAMEBUFFER, 0 );
		std::vector< uint8_t > pixels = ReadPixels( target.framebuffer, 4, 4 );
		for( int y = 0; y < 4; ++y )
			for( int x = 0; x < 4; ++x )
			{
				const uint8_t* colour = y >= 2 ? ( x < 2 ? expected.topLeft : expected.topRight )
				                               : ( x < 2 ? expected.bottomLeft : expected.bottomRight );
				EXPECT_EQ( 0, std::memcmp( PixelAt( pixels, 4, x, y ), colour, 4 ) ) << x << "," << y;
			}
	}

	bool haveContext = false;
	ffglex::ShaderProgram program;
	ScreenQuad quad;
	GLuint texture = 0;
	TestTarget target;
};

TEST_F( ScreenQuadTest, CoversTheTargetUprightAndFlipVMirrorsIt )
{
	ASSERT_TRUE( quad.Initialise( false ) );
	ExpectDrawn( quad, kUpright );
	// Initialised again, the quad takes the mirrored table (and releases the first pair).
	ASSERT_TRUE( quad.Initialise( true ) );
	ExpectDrawn( quad, kFlippedV );
}

TEST_F( ScreenQuadTest, BackFaceCullingRemovesIt )
{
	ASSERT_TRUE( quad.Initialise( false ) );
	AtScopeEnd restoreCulling( [] {
		glFrontFace( GL_CCW );
		glDisable( GL_CULL_FACE );
	} );
	glEnable( GL_CULL_FACE );
	ExpectDrawn( quad, kNothing );
	// With clockwise fronts it is drawn whole: the winding, not a failed draw, removed it.
	glFrontFace( GL_CW );
	ExpectDrawn( quad, kUpright );
}

TEST_F( ScreenQuadTest, EmptyQuadDrawsNothingAndTouchesNoBinding )
{
	ScreenQuad never;
	ExpectDrawn( never, kNothing );
	ASSERT_TRUE( quad.Initialise( false ) );
	quad.Release();
	quad.Release();
	ExpectDrawn( quad, kNothing );

	GLuint callersArray = 0;
	glGenVertexArrays( 1, &callersArray );
	AtScopeEnd deleteArray( [ & ] {
		glBindVertexArray( 0 );
		glDeleteVertexArrays( 1, &callersArray );
	} );
	glBindVertexArray( callersArray );
	quad.Draw();
	EXPECT_EQ( static_cast< GLint >( callersArray ), GLInteger( GL_VERTEX_ARRAY_BINDING ) );
}

TEST_F( ScreenQuadTest, InitialiseAndDrawLeaveBufferAndVertexArrayAtZero )
{
	GLuint otherArray = 0, otherBuffer = 0;
	glGenVertexArrays( 1, &otherArray );
	glGenBuffers( 1, &otherBuffer );
	AtScopeEnd deleteOthers( [ & ] {
		glBindVertexArray( 0 );
		glBindBuffer( GL_ARRAY_BUFFER, 0 );
		glDeleteBuffers( 1, &otherBuffer );
		glDeleteVertexArrays( 1, &otherArray );
	} );
	glBindVertexArray( otherArray );
	glBindBuffer( GL_ARRAY_BUFFER, otherBuffer );

	ASSERT_TRUE( quad.Initialise( false ) );
	EXPECT_EQ( 0, GLInteger( GL_ARRAY_BUFFER_BINDING ) );
	EXPECT_EQ( 0, GLInteger( GL_VERTEX_ARRAY_BINDING ) );
	glBindVertexArray( otherArray );
	quad.Draw();
	EXPECT_EQ( 0, GLInteger( GL_VERTEX_ARRAY_BINDING ) );
}
