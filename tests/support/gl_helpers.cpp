#include "tests/support/gl_helpers.h"

#include "host/core/gl_frames.h"

GLuint MakeTexture( int w, int h, const uint8_t* rgba )
{
	return ffglhost::MakeRGBA8Texture( w, h, rgba, GL_NEAREST );
}

TestTarget MakeTarget( int w, int h, float r, float g, float b, float a, GLenum format )
{
	TestTarget target;
	target.width   = w;
	target.height  = h;
	target.texture = MakeTexture( w, h, nullptr );
	if( format != GL_RGBA8 )
	{
		glBindTexture( GL_TEXTURE_2D, target.texture );
		glTexImage2D( GL_TEXTURE_2D, 0, static_cast< GLint >( format ), w, h, 0, GL_RGBA, GL_FLOAT, nullptr );
		glBindTexture( GL_TEXTURE_2D, 0 );
	}
	glGenFramebuffers( 1, &target.framebuffer );
	glBindFramebuffer( GL_FRAMEBUFFER, target.framebuffer );
	glFramebufferTexture2D( GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target.texture, 0 );
	glViewport( 0, 0, w, h );
	glClearColor( r, g, b, a );
	glClear( GL_COLOR_BUFFER_BIT );
	glBindFramebuffer( GL_FRAMEBUFFER, 0 );
	return target;
}

void DeleteTarget( TestTarget& target )
{
	glDeleteFramebuffers( 1, &target.framebuffer );
	glDeleteTextures( 1, &target.texture );
	target = TestTarget();
}

std::vector< uint8_t > ReadPixels( GLuint framebuffer, int w, int h )
{
	std::vector< uint8_t > pixels( static_cast< size_t >( w ) * h * 4 );
	GLint previous = 0;
	glGetIntegerv( GL_READ_FRAMEBUFFER_BINDING, &previous );
	glBindFramebuffer( GL_READ_FRAMEBUFFER, framebuffer );
	glPixelStorei( GL_PACK_ALIGNMENT, 1 );
	glReadPixels( 0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data() );
	glBindFramebuffer( GL_READ_FRAMEBUFFER, static_cast< GLuint >( previous ) );
	return pixels;
}
