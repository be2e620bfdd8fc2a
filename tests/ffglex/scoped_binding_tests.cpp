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

// The programs of the program row, made and released as GL makes and deletes the other kinds' names.
static ShaderProgram programs[ 2 ];
static void GLAPIENTRY MakePrograms( GLsizei, GLuint* names )
{
	for( int i = 0; i < 2; ++i )
		names[ i ] =
		    programs[ i ].Compile( kPassVertexSource, kTextureFragmentSource ) ? programs[ i ].ProgramName() : 0;
}
static void GLAPIENTRY ReleasePrograms( GLsizei, const GLuint* )
{
	for( ShaderProgram& program : programs )
		program.Release();
}

struct Nesting
{
	const char* kind;
	GLenum binding;
	void( GLAPIENTRY* make )( GLsizei, GLuint* );
	void( GLAPIENTRY* remove )( GLsizei, const GLuint* );
	void ( *nest )( GLenum binding, const GLuint* names );
};

TEST_F( ScopedBindingTest, NestedScopesEndAtTheDefault )
{
	const Nesting kinds[] = {
		{ "buffer", GL_ARRAY_BUFFER_BINDING, glGenBuffers, glDeleteBuffers,
		  Nest< ScopedVBOBinding, ScopedVBOBinding > },
		{ "vertex array", GL_VERTEX_ARRAY_BINDING, glGenVertexArrays, glDeleteVertexArrays,
		  Nest< ScopedVertexArrayBinding, ScopedVertexArrayBinding > },
		{ "texture", GL_TEXTURE_BINDING_2D, glGenTextures, glDeleteTextures,
		  Nest< Scoped2DTextureBinding, ScopedTextureBinding, GL_TEXTURE_2D > },
		{ "program", GL_CURRENT_PROGRAM, MakePrograms, ReleasePrograms,
		  Nest< ScopedProgramBinding, ScopedProgramBinding > },
	};
	for( const Nesting& kind : kinds )
	{
		SCOPED_TRACE( kind.kind );
		kind.make( 2, names );
		AtScopeEnd remove( [ & ] { kind.remove( 2, names ); } );
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
