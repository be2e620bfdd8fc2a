#include "ffglex/scoped_bindings.h"

namespace ffglex
{
ScopedBufferBinding::ScopedBufferBinding( GLenum bufferTarget, GLuint buffer )
    : target( bufferTarget )
    , bound( true )
{
	glBindBuffer( bufferTarget, buffer );
}

ScopedBufferBinding::~ScopedBufferBinding()
{
	if( !bound )
		return;
	glBindBuffer( target, 0 );
	bound = false;
}

ScopedVBOBinding::ScopedVBOBinding( GLuint buffer )
    : ScopedBufferBinding( GL_ARRAY_BUFFER, buffer )
{
}

ScopedTextureBinding::ScopedTextureBinding( GLenum textureTarget, GLuint texture )
    : target( textureTarget )
    , bound( true )
{
	glBindTexture( textureTarget, texture );
}

ScopedTextureBinding::~ScopedTextureBinding()
{
	if( !bound )
		return;
	glBindTexture( target, 0 );
	bound = false;
}

Scoped2DTextureBinding::Scoped2DTextureBinding( GLuint texture )
    : ScopedTextureBinding( GL_TEXTURE_2D, texture )
{
}

ScopedVertexArrayBinding::ScopedVertexArrayBinding( GLuint name )
    : bound( true )
{
	glBindVertexArray( name );
}

ScopedVertexArrayBinding::~ScopedVertexArrayBinding()
{
	if( !bound )
		return;
	glBindVertexArray( 0 );
	bound = false;
}

ScopedProgramBinding::ScopedProgramBinding( GLuint program )
    : bound( true )
{
	glUseProgram( program );
}

ScopedProgramBinding::~ScopedProgramBinding()
{
	if( !bound )
		return;
	glUseProgram( 0 );
	bound = false;
}

ScopedTextureUnitBinding::ScopedTextureUnitBinding( GLuint unit )
    : bound( true )
{
	glActiveTexture( GL_TEXTURE0 + unit );
}

ScopedTextureUnitBinding::~ScopedTextureUnitBinding()
{
	if( !bound )
		return;
	glActiveTexture( GL_TEXTURE0 );
	bound = false;
}
}
