#pragma once
#include <GL/glew.h>

namespace ffglex
{
// Makes texture unit n active for the life of the scope; the end always makes unit 0 active.
class ScopedTextureUnitBinding
{
public:
	explicit ScopedTextureUnitBinding( GLuint unit );
	~ScopedTextureUnitBinding();

	ScopedTextureUnitBinding( const ScopedTextureUnitBinding& )            = delete;
	ScopedTextureUnitBinding& operator=( const ScopedTextureUnitBinding& ) = delete;
	ScopedTextureUnitBinding( ScopedTextureUnitBinding&& )                 = delete;
	ScopedTextureUnitBinding& operator=( ScopedTextureUnitBinding&& )      = delete;

private:
	bool bound;
};
}
