#include "host/core/gl_frames.h"

#include <algorithm>
#include <cstring>

namespace ffglhost
{
bool StartHostGL( GLContext& context, std::string* error )
{
	std::string reason;
	if( !context.Create( &reason ) )
	{
		*error = "no OpenGL context: " + reason;
		return false;
	}
	context.MakeCurrent();
	GLenum status = glewInit();
	if( status != GLEW_OK )
	{
		*error = std::string( "glewInit failed: " ) + reinterpret_cast< const char* >( glewGetErrorString( status ) );
		return false;
	}
	return true;
}

int MaxFrameSize()
{
	GLint texture = 0, renderbuffer = 0;
	GLint viewport[ 2 ] = { 0, 0 };
	glGetIntegerv( GL_MAX_TEXTURE_SIZE, &texture );
	glGetIntegerv( GL_MAX_RENDERBUFFER_SIZE, &renderbuffer );
	glGetIntegerv( GL_MAX_VIEWPORT_DIMS, viewport );
	return std::min( std::min( texture, renderbuffer ), std::min( viewport[ 0 ], viewport[ 1 ] ) );
}

GLuint MakeRGBA8Texture( int w, int h, const uint8_t* rgba, GLint filter )
{
	GLuint texture = 0;
	glGenTextures( 1, &texture );
	glBindTexture( GL_TEXTURE_2D, texture );
	// Rows of RGBA8 are whole multiples of 4 bytes: the default unpack alignment suits them.
	glTexImage2D( GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba );
	glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter );
	glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter );
	glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE );
	glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE );
	glBindTexture( GL_TEXTURE_2D, 0 );
	return texture;
}

bool CreateGLFrames( GLFrames& frames, int w, int h, std::string* error )
{
	ReleaseGLFrames( frames );
	frames.width  = w;
	frames.height = h;
	ResizePicture( frames.staging, w, h );
	// Our own binding state, whatever a plug-in left: unit 0, no unpack buffer.
	glActiveTexture( GL_TEXTURE0 );
	glBindBuffer( GL_PIXEL_UNPACK_BUFFER, 0 );
	frames.inputTexture  = MakeRGBA8Texture( w, h );
	frames.outputTexture = MakeRGBA8Texture( w, h );
	glGenFramebuffers( 1, &frames.framebuffer );
	glBindFramebuffer( GL_FRAMEBUFFER, frames.framebuffer );
	glFramebufferTexture2D( GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, frames.outputTexture, 0 );
	GLenum status = glCheckFramebufferStatus( GL_FRAMEBUFFER );
	glBindFramebuffer( GL_FRAMEBUFFER, 0 );
	if( status != GL_FRAMEBUFFER_COMPLETE )
	{
		*error = "the output framebuffer of " + std::to_string( w ) + "x" + std::to_string( h ) +
		         " is incomplete (the GL cannot hold a frame of that size)";
		ReleaseGLFrames( frames );
		return false;
	}
	return true;
}

void ReleaseGLFrames( GLFrames& frames )
{
	if( frames.framebuffer )
		glDeleteFramebuffers( 1, &frames.framebuffer );
	if( frames.inputTexture )
		glDeleteTextures( 1, &frames.inputTexture );
	if( frames.outputTexture )
		glDeleteTextures( 1, &frames.outputTexture );
	frames.framebuffer   = 0;
	frames.inputTexture  = 0;
	frames.outputTexture = 0;
	frames.width         = 0;
	frames.height        = 0;
}

// Row order of picture files (top first) to GL's (bottom first) and back: the same swap.
static void FlipRows( const Picture& from, Picture& to )
{
	const size_t stride = static_cast< size_t >( from.width ) * 4;
	for( int y = 0; y < from.height; ++y )
		std::memcpy( PixelAt( to, 0, from.height - 1 - y ), PixelAt( from, 0, y ), stride );
}

void UploadInput( GLFrames& frames, const Picture& picture )
{
	FlipRows( picture, frames.staging );
	glActiveTexture( GL_TEXTURE0 );
	glBindBuffer( GL_PIXEL_UNPACK_BUFFER, 0 );
	glBindTexture( GL_TEXTURE_2D, frames.inputTexture );
	glPixelStorei( GL_UNPACK_ALIGNMENT, 4 );
	glPixelStorei( GL_UNPACK_ROW_LENGTH, 0 );
	glTexSubImage2D( GL_TEXTURE_2D, 0, 0, 0, frames.width, frames.height, GL_RGBA, GL_UNSIGNED_BYTE,
	                 frames.staging.rgba.data() );
	glBindTexture( GL_TEXTURE_2D, 0 );
}

void PrepareOutput( GLFrames& frames )
{
	glBindFramebuffer( GL_FRAMEBUFFER, frames.framebuffer );
	glViewport( 0, 0, frames.width, frames.height );
	glDisable( GL_SCISSOR_TEST );
	glColorMask( GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE );
	glClearColor( 0.f, 0.f, 0.f, 0.f );
	glClear( GL_COLOR_BUFFER_BIT );
}

void ReadOutput( GLFrames& frames, Picture& picture )
{
	glBindFramebuffer( GL_READ_FRAMEBUFFER, frames.framebuffer );
	glBindBuffer( GL_PIXEL_PACK_BUFFER, 0 );
	glPixelStorei( GL_PACK_ALIGNMENT, 4 );
	glPixelStorei( GL_PACK_ROW_LENGTH, 0 );
	glReadPixels( 0, 0, frames.width, frames.height, GL_RGBA, GL_UNSIGNED_BYTE, frames.staging.rgba.data() );
	glBindFramebuffer( GL_READ_FRAMEBUFFER, 0 );
	ResizePicture( picture, frames.width, frames.height );
	FlipRows( frames.staging, picture );
}
}
