#pragma once
#include <GL/glew.h>

namespace ffglex
{
// Binds a texture to a target on the active unit for the life of the scope. The end binds 0 on
// whichever unit is active at that moment; the unit is not remembered.
class ScopedTextureBinding
{
public:
	ScopedTextureBinding( GLenum target, GLuint texture );
	virtual ~ScopedTextureBinding();

	ScopedTextureBinding( const ScopedTextureBinding& )            = delete;
	ScopedTextureBinding& operator=( const ScopedTextureBinding& ) = delete;
	ScopedTextureBinding( ScopedTextureBinding&& )                 = delete;
	ScopedTextureBinding& operator=( ScopedTextureBinding&& )      = delete;

private:
	GLenum target;
	bool bound;
};
}
