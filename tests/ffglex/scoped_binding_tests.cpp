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

TEST_F( ScopedBindingTest, NestedBufferScopesEndAtTheDefault )
{
	glGenBuffers( 2, names );
	AtScopeEnd deleteBuffers( [ & ] { glDeleteBuffers( 2, names ); } );
	{
		ScopedVBOBinding outer( names[ 0 ] );
		{
			ScopedVBOBinding inner( names[ 1 ] );
			EXPECT_EQ( Name( 1 ), GLInteger( GL_ARRAY_BUFFER_BINDING ) );
		}
		EXPECT_EQ( 0, GLInteger( GL_ARRAY_BUFFER_BINDING ) );
	}
	// A general buffer binding touches only its own target, and ends through a base pointer too.
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

TEST_F( ScopedBindingTest, NestedVertexArrayScopesEndAtTheDefault )
{
	glGenVertexArrays( 2, names );
	AtScopeEnd deleteArrays( [ & ] { glDeleteVertexArrays( 2, names ); } );
	{
		ScopedVertexArrayBinding outer( names[ 0 ] );
		{
			ScopedVertexArrayBinding inner( names[ 1 ] );
			EXPECT_EQ( Name( 1 ), GLInteger( GL_VERTEX_ARRAY_BINDING ) );
		}
		EXPECT_EQ( 0, GLInteger( GL_VERTEX_ARRAY_BINDING ) );
	}
}

TEST_F( ScopedBindingTest, NestedProgramScopesEndAtTheDefault )
{
	ShaderProgram first, second;
	AtScopeEnd releasePrograms( [ & ] {
		first.Release();
		second.Release();
	} );
	ASSERT_TRUE( first.Compile( kPassVertexSource, kTextureFragmentSource ) );
	ASSERT_TRUE( second.Compile( kPassVertexSource, kTextureFragmentSource ) );
	{
		ScopedProgramBinding outer( first.ProgramName() );
		{
			ScopedProgramBinding inner( second.ProgramName() );
			EXPECT_EQ( static_cast< GLint >( second.ProgramName() ), GLInteger( GL_CURRENT_PROGRAM ) );
		}
		EXPECT_EQ( 0, GLInteger( GL_CURRENT_PROGRAM ) );
	}
}

TEST_F( ScopedBindingTest, NestedTextureScopesEndAtTheDefault )
{
	names[ 0 ] = MakeTexture( 1, 1, nullptr );
	names[ 1 ] = MakeTexture( 1, 1, nullptr );
	AtScopeEnd deleteTextures( [ & ] { glDeleteTextures( 2, names ); } );
	{
		Scoped2DTextureBinding outer( names[ 0 ] );
		{
			ScopedTextureBinding inner( GL_TEXTURE_2D, names[ 1 ] );
			EXPECT_EQ( Name( 1 ), GLInteger( GL_TEXTURE_BINDING_2D ) );
		}
		EXPECT_EQ( 0, GLInteger( GL_TEXTURE_BINDING_2D ) );
	}
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
