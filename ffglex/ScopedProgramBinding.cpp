#include "ffglex/ScopedProgramBinding.h"

namespace ffglex
{
ScopedProgramBinding::ScopedProgramBinding( GLuint program ) :
	bound( true )
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
}
