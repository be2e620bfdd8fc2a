#include "ffglex/ScopedVertexArrayBinding.h"

namespace ffglex
{
ScopedVertexArrayBinding::ScopedVertexArrayBinding( GLuint name ) :
	bound( true )
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
}
