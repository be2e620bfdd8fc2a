// ShaderProgram on a real context: the failure texts on standard output, the names held after
// every outcome, and uniforms that reach the picture.
#include "ffglex/scoped_bindings.h"
#include "ffglex/screen_quad.h"
#include "ffglex/shader_program.h"
#include "host/check/gl_names.h"
#include "tests/ffglex/quad_shaders.h"
#include "tests/support/gl_helpers.h"
#include "tests/support/gl_test.h"
#include "tests/support/scope_end.h"
#include "tests/support/test_process.h"

#include <string>

using ffglex::ShaderProgram;

static const char* const kBrokenSource = "#version 410 core\nvoid main() { not glsl at all; }\n";

// Compiles on its own, but reads as a vec3 what the vertex stage writes as a vec2: no link.
static std::string MismatchedFragment( const std::string& input )
{
	return "#version 410 core\nin vec3 " + input + ";\nout vec4 c;\nvoid main() { c = vec4( " + input + ", 1.0 ); }\n";
}

class ShaderProgramTest : public GLTest
{
protected:
	void SetUp() override
	{
		GLTest::SetUp();
		if( !HasFatalFailure() )
			before = ffglhost::TakeGLNameCensus();
	}

	void TearDown() override { program.Release(); }

	// The GL objects alive now that were not when the test began, as "program 3, shader 1".
	std::string Held() const { return ffglhost::NamesLeftBehind( before, ffglhost::TakeGLNameCensus() ); }

	// Compiles, expects failure and nothing held, by the object or in GL, and returns what was
	// written (no '\r').
	std::string FailingCompile( const char* vertex, const char* fragment )
	{
		StdoutCapture capture;
		capture.Start();
		EXPECT_FALSE( program.Compile( vertex, fragment ) );
		std::string text;
		for( char c : capture.Stop() )
			if( c != '\r' )
				text += c;
		EXPECT_EQ( 0u, program.ProgramName() );
		EXPECT_EQ( "", Held() ) << "left alive by a failed Compile";
		return text;
	}

	// One text: the prefix, a non-empty driver log, a final newline, and no second prefix.
	static void ExpectOneText( const std::string& text, const std::string& prefix )
	{
		ASSERT_EQ( 0u, text.compare( 0, prefix.size(), prefix ) ) << text;
		EXPECT_GT( text.size(), prefix.size() + 1 ) << "the driver's log is missing";
		EXPECT_EQ( '\n', text.back() );
		EXPECT_EQ( std::string::npos, text.find( "Shader error: ", prefix.size() ) ) << text;
	}

	ShaderProgram program;
	ffglhost::GLNameCensus before;
};

TEST_F( ShaderProgramTest, MissingSourcesFailSilently )
{
	const char* cases[][ 2 ] = { { nullptr, kTextureFragmentSource },
		                         { "", kTextureFragmentSource },
		                         { kPassVertexSource, nullptr },
		                         { kPassVertexSource, "" } };
	for( auto& sources : cases )
		EXPECT_EQ( "", FailingCompile( sources[ 0 ], sources[ 1 ] ) );
}

TEST_F( ShaderProgramTest, EachFailingStepWritesOneText )
{
	// The fragment stage is broken too: a second text would show it was compiled after all.
	ExpectOneText( FailingCompile( kBrokenSource, kBrokenSource ), "Vertex Shader error: " );
	ExpectOneText( FailingCompile( kPassVertexSource, kBrokenSource ), "Fragment Shader error: " );

	// Linking has no prefix of its own.
	std::string text = FailingCompile( kPassVertexSource, MismatchedFragment( "uv" ).c_str() );
	ExpectOneText( text, "Fragment Shader error: " );
	EXPECT_NE( std::string::npos, text.find( "uv" ) ) << "not the link log: " << text;

	// Emptied by each failure, the object compiles again.
	EXPECT_TRUE( program.Compile( kPassVertexSource, kTextureFragmentSource ) );
}

TEST_F( ShaderProgramTest, LongLinkLogIsCutToItsBuffer )
{
	// The mismatched name alone is longer than the buffer.
	std::string name( 1500, 'n' );
	std::string vertex = "#version 410 core\nlayout( location = 0 ) in vec4 vPosition;\nout vec2 " + name +
	                     ";\nvoid main() { gl_Position = vPosition; " + name + " = vPosition.xy; }\n";
	std::string text = FailingCompile( vertex.c_str(), MismatchedFragment( name ).c_str() );
	ExpectOneText( text, "Fragment Shader error: " );
	size_t logSize = text.size() - std::string( "Fragment Shader error: " ).size() - 1;
	EXPECT_LE( logSize, 1023u );
	EXPECT_GE( logSize, 1000u ) << "the log should have filled the buffer";
}

TEST_F( ShaderProgramTest, EachCompileAndReleaseDeleteWhatWasHeld )
{
	ASSERT_TRUE( program.Compile( kPassVertexSource, kTextureFragmentSource ) );
	const GLuint first = program.ProgramName();
	GLuint stages[ 2 ] = {};
	GLsizei count      = 0;
	glGetAttachedShaders( first, 2, &count, stages );
	ASSERT_EQ( 2, count );
	EXPECT_TRUE( glIsProgram( first ) && glIsShader( stages[ 0 ] ) && glIsShader( stages[ 1 ] ) );

	// A second Compile without Release replaces the first program instead of leaking it.
	ASSERT_TRUE( program.Compile( kPassVertexSource, kTextureFragmentSource ) );
	EXPECT_NE( first, program.ProgramName() );
	EXPECT_FALSE( glIsProgram( first ) || glIsShader( stages[ 0 ] ) || glIsShader( stages[ 1 ] ) );
	// So does one that then fails for want of a source, silently.
	EXPECT_EQ( "", FailingCompile( kPassVertexSource, nullptr ) );

	ASSERT_TRUE( program.Compile( kPassVertexSource, kTextureFragmentSource ) );
	program.Release();
	EXPECT_EQ( 0u, program.ProgramName() );
	EXPECT_EQ( "", Held() );
	program.Release();
	EXPECT_EQ( 0u, program.ProgramName() );
}

TEST_F( ShaderProgramTest, UniformsReachThePicture )
{
	const char* fragment = "#version 410 core\nuniform int blue;\nuniform vec2 redGreen;\nout vec4 c;\n"
	                       "void main() { c = vec4( redGreen, float( blue ) / 255.0, 1.0 ); }\n";
	ASSERT_TRUE( program.Compile( kPassVertexSource, fragment ) );
	EXPECT_NE( -1, program.UniformLocation( "redGreen" ) );
	EXPECT_EQ( -1, program.UniformLocation( "noSuchUniform" ) );

	ffglex::ScreenQuad quad;
	AtScopeEnd releaseQuad( [ & ] { quad.Release(); } );
	ASSERT_TRUE( quad.Initialise( false ) );
	TestTarget target = MakeTarget( 2, 2 );
	AtScopeEnd deleteTarget( [ & ] { DeleteTarget( target ); } );
	glBindFramebuffer( GL_FRAMEBUFFER, target.framebuffer );
	{
		ffglex::ScopedProgramBinding use( program.ProgramName() );
		program.SetUniformInt( "blue", 200 );
		program.SetUniformVec2( "redGreen", 0.2f, 0.6f );
		program.SetUniformInt( "noSuchUniform", 1 );
		quad.Draw();
	}
	glBindFramebuffer( GL_FRAMEBUFFER, 0 );
	std::vector< uint8_t > pixels = ReadPixels( target.framebuffer, 2, 2 );
	for( int i = 0; i < 4; ++i )
	{
		const uint8_t* p = PixelAt( pixels, 2, i % 2, i / 2 );
		EXPECT_NEAR( 51, p[ 0 ], 1 );
		EXPECT_NEAR( 153, p[ 1 ], 1 );
		EXPECT_NEAR( 200, p[ 2 ], 1 );
	}
}
