#include "ffglex/Scoped2DTextureBinding.h"

namespace ffglex
{
Scoped2DTextureBinding::Scoped2DTextureBinding( GLuint texture ) :
	ScopedTextureBinding( GL_TEXTURE_2D, texture )
{
}
}
