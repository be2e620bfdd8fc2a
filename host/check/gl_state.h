#pragma once
// The GL state an FFGL 2 host hands a plug-in and expects back after every call: set to GL's defaults
// (apart from the host's framebuffer and viewport) before a call, read again after it, and every
// difference named with the value found.
#include <GL/glew.h>

#include <string>
#include <vector>

namespace ffglhost
{
struct GLViewport
{
	GLint x, y;
	GLsizei width, height;
};

// Host framebuffer bound for reading and drawing, the viewport set, everything else at GL's
// defaults: unit 0 active, no texture, buffer, program or vertex array bound, no blending, scissor,
// depth, stencil or culling, all colours written, pixel rows packed at alignment 4.
void SetHostDefaultState( GLuint framebuffer, const GLViewport& viewport );

struct GLStateSnapshot
{
	std::vector< GLint > values; // the items in a fixed order, several values for some
};

GLStateSnapshot TakeGLStateSnapshot();

// "GL_TEXTURE_BINDING_2D on unit 1 is 7 after FF_PROCESS_OPENGL (expected 0)", one per item that
// differs; empty when none does.
std::vector< std::string > CompareGLState( const GLStateSnapshot& expected, const GLStateSnapshot& found,
                                           const char* call );

// Takes every pending GL error; "GL_INVALID_ENUM, GL_INVALID_OPERATION" or empty.
std::string TakeGLErrors();
}
