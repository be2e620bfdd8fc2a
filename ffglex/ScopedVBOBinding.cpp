#include "ffglex/ScopedVBOBinding.h"

namespace ffglex
{
ScopedVBOBinding::ScopedVBOBinding( GLuint buffer ) :
	ScopedBufferBinding( GL_ARRAY_BUFFER, buffer )
{
}
}
