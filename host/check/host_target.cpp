#include "host/check/host_target.h"

#include "host/core/gl_frames.h"
#include "host/core/texts.h"

#include <algorithm>
#include <cstring>

namespace ffglhost
{
namespace
{
// What fills the texture beyond the picture: loud, opaque, and nowhere in the pictures.
const uint8_t kPaddingColour[ 4 ] = { 255, 0, 255, 255 };
}

std::string PaddingShows( const Picture& drawn )
{
	size_t count = 0;
	int firstX = 0, firstY = 0;
	for( int y = 0; y < drawn.height; ++y )
		for( int x = 0; x < drawn.width; ++x )
			if( std::memcmp( PixelAt( drawn, x, y ), kPaddingColour, 4 ) == 0 && count++ == 0 )
			{
				firstX = x;
				firstY = y;
			}
	if( count == 0 )
		return std::string();
	return "; the padding colour (255, 0, 255, 255) shows in " + std::to_string( count ) + " pixels, first at " +
	       PositionText( firstX, firstY );
}

bool NearPaddingColour( const uint8_t* pixel )
{
	const int kNear = 80;
	return pixel[ 0 ] >= 255 - kNear && pixel[ 1 ] <= kNear && pixel[ 2 ] >= 255 - kNear && pixel[ 3 ] >= 255 - kNear;
}

void HostTarget::Start()
{
	glGenFramebuffers( 3, spareFramebuffers );
	for( GLuint spare : spareFramebuffers )
	{
		glBindFramebuffer( GL_FRAMEBUFFER, spare );
		glBindFramebuffer( GL_FRAMEBUFFER, 0 );
	}
	glGenRenderbuffers( 1, &stencilBuffer );
	glBindRenderbuffer( GL_RENDERBUFFER, stencilBuffer );
	glRenderbufferStorage( GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, 1, 1 );
	glBindRenderbuffer( GL_RENDERBUFFER, 0 );
	glGenFramebuffers( 1, &stencilFramebuffer );
	glBindFramebuffer( GL_FRAMEBUFFER, stencilFramebuffer );
	glFramebufferRenderbuffer( GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, stencilBuffer );
	glDrawBuffer( GL_NONE );
	glReadBuffer( GL_NONE );
	glBindFramebuffer( GL_FRAMEBUFFER, 0 );
}

void HostTarget::Release()
{
	glDeleteFramebuffers( 3, spareFramebuffers );
	glDeleteFramebuffers( 1, &stencilFramebuffer );
	glDeleteRenderbuffers( 1, &stencilBuffer );
	glDeleteFramebuffers( 1, &framebuffer );
	glDeleteTextures( 1, &targetTexture );
	glDeleteTextures( 1, &inputTexture );
}

GLNameCensus HostTarget::OwnNames() const
{
	GLNameCensus own;
	own.names[ kTextureName ]      = { inputTexture, targetTexture };
	own.names[ kFramebufferName ]  = { spareFramebuffers[ 0 ], spareFramebuffers[ 1 ], spareFramebuffers[ 2 ],
		                               stencilFramebuffer, framebuffer };
	own.names[ kRenderbufferName ] = { stencilBuffer };
	for( auto& names : own.names )
		std::sort( names.begin(), names.end() );
	return own;
}

void HostTarget::Prepare( const FrameLayout& layout )
{
	SetHostDefaultState( 0, viewport, false );
	if( !inputTexture || layout.textureWidth != textureWidth || layout.textureHeight != textureHeight )
	{
		glDeleteTextures( 1, &inputTexture );
		inputTexture  = MakeRGBA8Texture( layout.textureWidth, layout.textureHeight );
		textureWidth  = layout.textureWidth;
		textureHeight = layout.textureHeight;
	}
	if( !framebuffer || layout.targetWidth != targetWidth || layout.targetHeight != targetHeight )
	{
		glDeleteFramebuffers( 1, &framebuffer );
		glDeleteTextures( 1, &targetTexture );
		targetTexture = MakeRGBA8Texture( layout.targetWidth, layout.targetHeight );
		glGenFramebuffers( 1, &framebuffer );
		targetWidth  = layout.targetWidth;
		targetHeight = layout.targetHeight;
	}
	// Attached afresh each time: a plug-in may have taken the host's texture off its framebuffer.
	glBindFramebuffer( GL_FRAMEBUFFER, framebuffer );
	glFramebufferTexture2D( GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, targetTexture, 0 );
	glBindFramebuffer( GL_FRAMEBUFFER, 0 );
	viewport = { layout.viewportX, layout.viewportY, layout.width, layout.height };
}

void HostTarget::Upload( const FrameLayout& layout, const Picture& picture )
{
	ResizePicture( staging, textureWidth, textureHeight );
	for( size_t i = 0; i < staging.rgba.size(); i += 4 )
		std::memcpy( &staging.rgba[ i ], kPaddingColour, 4 );
	// GL's rows run bottom first; the picture's top row lands in row height - 1.
	for( int y = 0; y < layout.height; ++y )
		std::memcpy( PixelAt( staging, 0, layout.height - 1 - y ), PixelAt( picture, 0, y ),
		             static_cast< size_t >( layout.width ) * 4 );
	SetHostDefaultState( framebuffer, viewport, false );
	glBindTexture( GL_TEXTURE_2D, inputTexture );
	glTexSubImage2D( GL_TEXTURE_2D, 0, 0, 0, textureWidth, textureHeight, GL_RGBA, GL_UNSIGNED_BYTE,
	                 staging.rgba.data() );
	glBindTexture( GL_TEXTURE_2D, 0 );
}

void HostTarget::Clear()
{
	SetHostDefaultState( framebuffer, { 0, 0, targetWidth, targetHeight }, false );
	glClearColor( kClearColour[ 0 ] / 255.f, kClearColour[ 1 ] / 255.f, kClearColour[ 2 ] / 255.f,
	              kClearColour[ 3 ] / 255.f );
	glClear( GL_COLOR_BUFFER_BIT );
}

void HostTarget::Read( const FrameLayout& layout, FrameOutput& output )
{
	SetHostDefaultState( framebuffer, viewport, false );
	ResizePicture( staging, targetWidth, targetHeight );
	// Zeros first: should the read fail, a stale picture must not pass for this frame's.
	std::fill( staging.rgba.begin(), staging.rgba.end(), uint8_t( 0 ) );
	glReadPixels( 0, 0, targetWidth, targetHeight, GL_RGBA, GL_UNSIGNED_BYTE, staging.rgba.data() );
	InspectFrame( staging, layout, output );
}
}
