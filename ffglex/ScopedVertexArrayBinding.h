#pragma once
#include <GL/glew.h>

namespace ffglex
{
// Binds a vertex array for the life of the scope; the end binds vertex array 0.
class ScopedVertexArrayBinding
{
public:
	explicit ScopedVertexArrayBinding( GLuint name );
	~ScopedVertexArrayBinding();

	ScopedVertexArrayBinding( const ScopedVertexArrayBinding& )            = delete;
	ScopedVertexArrayBinding& operator=( const ScopedVertexArrayBinding& ) = delete;
	ScopedVertexArrayBinding( ScopedVertexArrayBinding&& )                 = delete;
	ScopedVertexArrayBinding& operator=( ScopedVertexArrayBinding&& )      = delete;

private:
	bool bound;
};
}
