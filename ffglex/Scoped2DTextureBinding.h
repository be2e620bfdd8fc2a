#pragma once
#include "ffglex/ScopedTextureBinding.h"

namespace ffglex
{
// A texture binding on GL_TEXTURE_2D; ends like its base.
class Scoped2DTextureBinding : public ScopedTextureBinding
{
public:
	explicit Scoped2DTextureBinding( GLuint texture );
};
}
