#pragma once
// Small GL helpers for tests: textures with known pixels, an offscreen target, reading it back.
#include <GL/glew.h>

#include <cstdint>
#include <vector>

// A GL_RGBA8 texture of w x h with the given pixels (rows bottom first, as GL stores them), or
// uninitialised when pixels is null. Nearest filtering, clamped; unbinds GL_TEXTURE_2D.
GLuint MakeTexture( int w, int h, const uint8_t* rgba );

// A framebuffer of w x h (GL_RGBA8, or another colour format such as GL_RGBA32F), cleared to the given
// colour; leaves framebuffer 0 bound.
struct TestTarget
{
	GLuint framebuffer = 0;
	GLuint texture     = 0;
	int width          = 0;
	int height         = 0;
};
TestTarget MakeTarget( int w, int h, float r = 0.f, float g = 0.f, float b = 0.f, float a = 0.f,
                       GLenum format = GL_RGBA8 );
void DeleteTarget( TestTarget& target );

// A target that deletes its GL objects when it goes, whatever assertion failed before.
struct ScopedTarget : TestTarget
{
	explicit ScopedTarget( const TestTarget& made )
	    : TestTarget( made )
	{
	}
	~ScopedTarget() { DeleteTarget( *this ); }
	ScopedTarget( const ScopedTarget& )            = delete;
	ScopedTarget& operator=( const ScopedTarget& ) = delete;
};

// A texture name deleted when it goes.
struct ScopedTexture
{
	explicit ScopedTexture( GLuint made )
	    : name( made )
	{
	}
	~ScopedTexture() { glDeleteTextures( 1, &name ); }
	ScopedTexture( const ScopedTexture& )            = delete;
	ScopedTexture& operator=( const ScopedTexture& ) = delete;
	GLuint name;
};

// Reads all of a framebuffer's colour attachment 0 as RGBA bytes, rows bottom first.
std::vector< uint8_t > ReadPixels( GLuint framebuffer, int w, int h );

// One integer of GL state (glGetIntegerv), -1 when GL wrote nothing.
inline GLint GLInteger( GLenum what )
{
	GLint value = -1;
	glGetIntegerv( what, &value );
	return value;
}

// The RGBA pixel at (x, y), y counted from the bottom row.
inline const uint8_t* PixelAt( const std::vector< uint8_t >& pixels, int w, int x, int y )
{
	return pixels.data() + ( static_cast< size_t >( y ) * w + x ) * 4;
}
