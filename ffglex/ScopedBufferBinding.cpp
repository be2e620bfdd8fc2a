#include "ffglex/ScopedBufferBinding.h"

namespace ffglex
{
ScopedBufferBinding::ScopedBufferBinding( GLenum bufferTarget, GLuint buffer ) :
	target( bufferTarget ),
	bound( true )
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
}
