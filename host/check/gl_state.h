#pragma once
// The GL state an FFGL 2 host hands a plug-in and expects back after every call: set to GL's defaults
// (apart from the host's framebuffer and viewport) before a call, read again after it, and every
// difference named with the value found. The items are listed in gl_state_items.cpp.
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

// The host's own objects whose state is compared as well: HostFBO (its draw and read buffers) and the
// textures whose parameters the host set (its input texture and HostFBO's); 0 for one not made yet. And a
// framebuffer with stencil bits, bound to read the stencil references: GL answers them clamped to the
// bits of the framebuffer drawn, and HostFBO has none.
struct GLHostObjects
{
	GLuint framebuffer        = 0;
	GLuint inputTexture       = 0;
	GLuint targetTexture      = 0;
	GLuint stencilFramebuffer = 0;
};

// Host framebuffer bound for reading and drawing (its first colour buffer drawn and read), the viewport
// set, everything else at GL's defaults: unit 0 active, no texture, sampler, buffer, program, pipeline,
// transform feedback or vertex array bound, no blending, scissor, depth, stencil, culling, clipping or
// offset, all colours written, pixel rows packed at alignment 4. The host's textures keep their parameters.
// The host's own drawing between calls needs only the first unit unbound (everyUnit false).
void SetHostDefaultState( GLuint framebuffer, const GLViewport& viewport, bool everyUnit = true );

struct GLStateSnapshot
{
	std::vector< std::vector< GLint > > items; // per item of the table: its values, copy by copy
};

GLStateSnapshot TakeGLStateSnapshot( const GLHostObjects& host );

// "GL_TEXTURE_BINDING_2D on unit 1 is 7 after FF_PROCESS_OPENGL (expected 0)", one per copy of an item
// that differs; empty when none does.
std::vector< std::string > CompareGLState( const GLStateSnapshot& expected, const GLStateSnapshot& found,
                                           const char* call );

// Takes every pending GL error; "GL_INVALID_ENUM, GL_INVALID_OPERATION" or empty.
std::string TakeGLErrors();
}
