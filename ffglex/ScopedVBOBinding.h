#pragma once
#include "ffglex/ScopedBufferBinding.h"

namespace ffglex
{
// A buffer binding on GL_ARRAY_BUFFER; ends like its base.
class ScopedVBOBinding : public ScopedBufferBinding
{
public:
	explicit ScopedVBOBinding( GLuint buffer );
};
}
