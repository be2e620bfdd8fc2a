#pragma once
#include <GL/glew.h>

namespace ffglex
{
// Binds a buffer to a target for the life of the scope. The end binds 0, not what was bound before.
class ScopedBufferBinding
{
public:
	ScopedBufferBinding( GLenum target, GLuint buffer );
	virtual ~ScopedBufferBinding();

	ScopedBufferBinding( const ScopedBufferBinding& )            = delete;
	ScopedBufferBinding& operator=( const ScopedBufferBinding& ) = delete;
	ScopedBufferBinding( ScopedBufferBinding&& )                 = delete;
	ScopedBufferBinding& operator=( ScopedBufferBinding&& )      = delete;

private:
	GLenum target;
	bool bound;
};
}
