#include "ffglex/ScopedTextureBinding.h"

namespace ffglex
{
ScopedTextureBinding::ScopedTextureBinding( GLenum textureTarget, GLuint texture ) :
	target( textureTarget ),
	bound( true )
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
}
