#include "ffglex/ScopedTextureUnitBinding.h"

namespace ffglex
{
ScopedTextureUnitBinding::ScopedTextureUnitBinding( GLuint unit ) :
	bound( true )
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
