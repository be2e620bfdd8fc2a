#pragma once
#include <GL/glew.h>

namespace ffglex
{
// Puts a program in use for the life of the scope; the end uses program 0.
class ScopedProgramBinding
{
public:
	explicit ScopedProgramBinding( GLuint program );
	~ScopedProgramBinding();

	ScopedProgramBinding( const ScopedProgramBinding& )            = delete;
	ScopedProgramBinding& operator=( const ScopedProgramBinding& ) = delete;
	ScopedProgramBinding( ScopedProgramBinding&& )                 = delete;
	ScopedProgramBinding& operator=( ScopedProgramBinding&& )      = delete;

private:
	bool bound;
};
}
