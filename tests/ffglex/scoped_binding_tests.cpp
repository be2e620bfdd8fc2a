// The scoped bindings on a real context: each binds at construction and puts GL's default back at
// its end, whatever was bound before.
#include "ffglex/scoped_bindings.h"
#include "ffglex/shader_program.h"
#include "tests/ffglex/quad_shaders.h"
#include "tests/support/gl_helpers.h"
#include "tests/support/gl_test.h"
#include "tests/support/scope_end.h"

#include <memory>

using namespace ffglex;

static GLint TextureOnUnit( GLuint unit )
{
	GLint active = GLInteger( GL_ACTIVE_TEXTURE );
	glActiveTexture( GL_TEXTURE0 + unit );
	GLint texture = GLInteger( GL_TEXTURE_BINDING_2D );
	glActiveTexture( static_cast< GLenum >( active ) );
	return texture;
}

class ScopedBindingTest : public GLTest
{
protected:
	GLint Name( int i ) const { return static_cast< GLint >( names[ i ] ); }

	GLuint names[ 2 ] = {};
};

// A binding nested in another of its kind: the inner one binds its name and ends at GL's default, not
// at the outer one's. (A general binding takes its target first.)
template< typename Outer, typename Inner, GLenum... Target >
static void Nest( GLenum binding, const GLuint* names )
{
	Outer outer( names[ 0 ] );
	{
		Inner inner( Target..., names[ 1 ] );
		EXPECT_EQ( static_cast< GLint >( names[ 1 ] ), GLInteger( binding ) );
	}
	EXPECT_EQ( 0, GLInteger( binding ) );
}

// Each kind: two objects made and removed (0 for one not made), and its bindings nested.
struct Nesting
{
	const char* kind;
	GLenum binding;
	void ( *make )( GLuint* names );
	void ( *remove )( GLuint* names );
	void ( *nest )( GLenum binding, const GLuint* names );
};
static ShaderProgram programs[ 2 ]; // the program row's
static const Nesting kNestings[] = {
	{ "buffer", GL_ARRAY_BUFFER_BINDING, []( GLuint* n ) { glGenBuffers( 2, n ); },
	  []( GLuint* n ) { glDeleteBuffers( 2, n ); }, Nest< ScopedVBOBinding, ScopedVBOBinding > },
	{ "vertex array", GL_VERTEX_ARRAY_BINDING, []( GLuint* n ) { glGenVertexArrays( 2, n ); },
	  []( GLuint* n ) { glDeleteVertexArrays( 2, n ); }, Nest< ScopedVertexArrayBinding, ScopedVertexArrayBinding > },
	{ "texture", GL_TEXTURE_BINDING_2D,
	  []( GLuint* n ) {
	      for( int i = 0; i < 2; ++i )
		      n[ i ] = MakeTexture( 1, 1, nullptr );
	  },
	  []( GLuint* n ) { glDeleteTextures( 2, n ); },
	  Nest< Scoped2DTextureBinding, ScopedTextureBinding, GL_TEXTURE_2D > },
	{ "program", GL_CURRENT_PROGRAM,
	  []( GLuint* n ) {
	      for( int i = 0; i < 2; ++i )
		      if( programs[ i ].Compile( kPassVertexSource, kTextureFragmentSource ) )
			      n[ i ] = programs[ i ].ProgramName();
	  },
	  []( GLuint* ) {
	      for( ShaderProgram& program : programs )
		      program.Release();
	  },
	  Nest< ScopedProgramBinding, ScopedProgramBinding > },
};

TEST_F( ScopedBindingTest, NestedScopesEndAtTheDefault )
{
	for( const Nesting& kind : kNestings )
	{
		SCOPED_TRACE( kind.kind );
		names[ 0 ] = names[ 1 ] = 0;
		kind.make( names );
		AtScopeEnd remove( [ & ] { kind.remove( names ); } );
		ASSERT_TRUE( names[ 0 ] && names[ 1 ] );
		kind.nest( kind.binding, names );
	}
}

// A general buffer binding touches only its own target, and ends through a base pointer too.
TEST_F( ScopedBindingTest, BufferBindingTouchesItsTargetOnlyAndEndsThroughTheBase )
{
	glGenBuffers( 2, names );
	AtScopeEnd deleteBuffers( [ & ] { glDeleteBuffers( 2, names ); } );
	glBindBuffer( GL_ARRAY_BUFFER, names[ 1 ] );
	std::unique_ptr< ScopedBufferBinding > pack( new ScopedBufferBinding( GL_PIXEL_PACK_BUFFER, names[ 0 ] ) );
	EXPECT_EQ( Name( 0 ), GLInteger( GL_PIXEL_PACK_BUFFER_BINDING ) );
	pack.reset();
	EXPECT_EQ( 0, GLInteger( GL_PIXEL_PACK_BUFFER_BINDING ) );
	EXPECT_EQ( Name( 1 ), GLInteger( GL_ARRAY_BUFFER_BINDING ) );
	std::unique_ptr< ScopedBufferBinding > vbo( new ScopedVBOBinding( names[ 0 ] ) );
	vbo.reset();
	EXPECT_EQ( 0, GLInteger( GL_ARRAY_BUFFER_BINDING ) );
}

TEST_F( ScopedBindingTest, TextureBindingEndsOnWhicheverUnitIsActive )
{
	names[ 0 ] = MakeTexture( 1, 1, nullptr );
	names[ 1 ] = MakeTexture( 1, 1, nullptr );
	AtScopeEnd deleteTextures( [ & ] {
		glActiveTexture( GL_TEXTURE0 );
		glDeleteTextures( 2, names );
	} );
	glActiveTexture( GL_TEXTURE0 );
	{
		Scoped2DTextureBinding onUnit0( names[ 0 ] );
		glActiveTexture( GL_TEXTURE3 );
		glBindTexture( GL_TEXTURE_2D, names[ 1 ] );
	}
	EXPECT_EQ( 0, TextureOnUnit( 3 ) );
	EXPECT_EQ( Name( 0 ), TextureOnUnit( 0 ) );
}

TEST_F( ScopedBindingTest, TextureUnitBindingAlwaysEndsAtUnitZero )
{
	glActiveTexture( GL_TEXTURE5 );
	{
		ScopedTextureUnitBinding unit( 2 );
		EXPECT_EQ( GL_TEXTURE2, GLInteger( GL_ACTIVE_TEXTURE ) );
		{
			ScopedTextureUnitBinding inner( 1 );
		}
		EXPECT_EQ( GL_TEXTURE0, GLInteger( GL_ACTIVE_TEXTURE ) );
	}
	EXPECT_EQ( GL_TEXTURE0, GLInteger( GL_ACTIVE_TEXTURE ) );
}
