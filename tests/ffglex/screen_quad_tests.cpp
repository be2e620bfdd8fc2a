// ScreenQuad on a real context: what it draws (orientation, coverage, winding) and the bindings it
// leaves behind.
#include "ffglex/scoped_bindings.h"
#include "ffglex/screen_quad.h"
#include "ffglex/shader_program.h"
#include "tests/ffglex/quad_shaders.h"
#include "tests/support/gl_helpers.h"
#include "tests/support/gl_test.h"

#include <cstring>

using ffglex::ScreenQuad;

static const uint8_t kRed[ 4 ]   = { 255, 0, 0, 255 };
static const uint8_t kGreen[ 4 ] = { 0, 255, 0, 255 };
static const uint8_t kBlank[ 4 ] = { 0, 0, 0, 0 };

static GLint Integer( GLenum what )
{
	GLint value = -1;
	glGetIntegerv( what, &value );
	return value;
}

class ScreenQuadTest : public GLTest
{
protected:
	void SetUp() override
	{
		GLTest::SetUp();
		ASSERT_TRUE( program.Compile( kPassVertexSource, kTextureFragmentSource ) );
		// One column: the bottom row (stored first) red, the top row green.
		const uint8_t rows[ 8 ] = { 255, 0, 0, 255, 0, 255, 0, 255 };
		texture = MakeTexture( 1, 2, rows );
		target  = MakeTarget( 4, 4 );
	}

	void TearDown() override
	{
		DeleteTarget( target );
		glDeleteTextures( 1, &texture );
		program.Release();
	}

	// Clears the 4 x 4 target, draws the textured quad into it and checks the top and bottom halves.
	void ExpectDrawn( ScreenQuad& quad, const uint8_t* top, const uint8_t* bottom )
	{
		glBindFramebuffer( GL_FRAMEBUFFER, target.framebuffer );
		glClearColor( 0.f, 0.f, 0.f, 0.f );
		glClear( GL_COLOR_BUFFER_BIT );
		{
			ffglex::ScopedProgramBinding use( program.ProgramName() );
			ffglex::ScopedTextureUnitBinding unit( 0 );
			ffglex::Scoped2DTextureBinding bind( texture );
			quad.Draw();
		}
		glBindFramebuffer( GL_FRAMEBUFFER, 0 );
		std::vector< uint8_t > pixels = ReadPixels( target.framebuffer, 4, 4 );
		for( int y = 0; y < 4; ++y )
			for( int x = 0; x < 4; ++x )
				EXPECT_EQ( 0, std::memcmp( PixelAt( pixels, 4, x, y ), y >= 2 ? top : bottom, 4 ) ) << x << "," << y;
	}

	ffglex::ShaderProgram program;
	GLuint texture = 0;
	TestTarget target;
};

TEST_F( ScreenQuadTest, CoversTheTargetUprightAndFlipVMirrorsIt )
{
	ScreenQuad quad;
	ASSERT_TRUE( quad.Initialise( false ) );
	ExpectDrawn( quad, kGreen, kRed );
	// Initialised again, the quad takes the mirrored table (and releases the first pair).
	ASSERT_TRUE( quad.Initialise( true ) );
	ExpectDrawn( quad, kRed, kGreen );
	quad.Release();
}

TEST_F( ScreenQuadTest, BackFaceCullingRemovesIt )
{
	ScreenQuad quad;
	ASSERT_TRUE( quad.Initialise( false ) );
	glEnable( GL_CULL_FACE );
	ExpectDrawn( quad, kBlank, kBlank );
	// With clockwise fronts it is drawn whole: the winding, not a failed draw, removed it.
	glFrontFace( GL_CW );
	ExpectDrawn( quad, kGreen, kRed );
	glFrontFace( GL_CCW );
	glDisable( GL_CULL_FACE );
	quad.Release();
}

TEST_F( ScreenQuadTest, EmptyQuadDrawsNothingAndTouchesNoBinding )
{
	ScreenQuad never;
	ExpectDrawn( never, kBlank, kBlank );
	ScreenQuad released;
	ASSERT_TRUE( released.Initialise( false ) );
	released.Release();
	released.Release();
	ExpectDrawn( released, kBlank, kBlank );

	GLuint callersArray = 0;
	glGenVertexArrays( 1, &callersArray );
	glBindVertexArray( callersArray );
	released.Draw();
	EXPECT_EQ( static_cast< GLint >( callersArray ), Integer( GL_VERTEX_ARRAY_BINDING ) );
	glBindVertexArray( 0 );
	glDeleteVertexArrays( 1, &callersArray );
}

TEST_F( ScreenQuadTest, InitialiseAndDrawLeaveBufferAndVertexArrayAtZero )
{
	GLuint otherArray = 0, otherBuffer = 0;
	glGenVertexArrays( 1, &otherArray );
	glGenBuffers( 1, &otherBuffer );
	glBindVertexArray( otherArray );
	glBindBuffer( GL_ARRAY_BUFFER, otherBuffer );

	ScreenQuad quad;
	ASSERT_TRUE( quad.Initialise( false ) );
	EXPECT_EQ( 0, Integer( GL_ARRAY_BUFFER_BINDING ) );
	EXPECT_EQ( 0, Integer( GL_VERTEX_ARRAY_BINDING ) );
	glBindVertexArray( otherArray );
	quad.Draw();
	EXPECT_EQ( 0, Integer( GL_VERTEX_ARRAY_BINDING ) );

	quad.Release();
	glDeleteBuffers( 1, &otherBuffer );
	glDeleteVertexArrays( 1, &otherArray );
}
