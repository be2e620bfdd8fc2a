// One frame: (re)build the engine, queue this frame's read-back, consume the previous one, draw.
#include "effect/umbrafex.h"

#include "effect/matte_blend.h"
#include "ffglex/scoped_bindings.h"
#include "nvidia/image_library.h"
#include "nvidia/video_effects.h"

FFResult Umbrafex::ProcessOpenGL( ProcessOpenGLStruct* pGL )
{
	if( !pGL || pGL->numInputTextures == 0 || !pGL->inputTextures || !pGL->inputTextures[ 0 ] )
		return FF_FAIL;
	const FFGLTextureStruct& input = *pGL->inputTextures[ 0 ];
	const int32_t width            = static_cast< int32_t >( input.Width );
	const int32_t height           = static_cast< int32_t >( input.Height );

	if( !setupFailed && ( !ready || width != sourceWidth || height != sourceHeight || rebuildRequested ) )
	{
		rebuildRequested = false;
		if( !SetupEngine( width, height ) )
		{
			// Framebuffers exist only when the set-up got as far as their check, which left 0 bound:
			// give the host its framebuffer back so the pass-through lands there.
			const bool framebufferUnbound = scaledFramebuffer != 0;
			ReleaseEngine();
			setupFailed = true;
			if( framebufferUnbound )
				glBindFramebuffer( GL_FRAMEBUFFER, pGL->HostFBO );
		}
	}
	bool matteReady = false;

	if( ready )
	{
		QueueReadback( input, pGL->HostFBO );
		if( readbackPending )
			matteReady = ConsumeReadback();
		readbackPending = true;
		packIndex ^= 1;
	}

	Draw( input, matteReady );
	if( ready )
	{
		// Hosts expect GL's defaults back: the draw leaves the matte bound on unit 1, and rows that
		// a host uploads or reads at an odd width need the default alignment of 4.
		glActiveTexture( GL_TEXTURE1 );
		glBindTexture( GL_TEXTURE_2D, 0 );
		glActiveTexture( GL_TEXTURE0 );
		glPixelStorei( GL_PACK_ALIGNMENT, 4 );
		if( matteReady )
			glPixelStorei( GL_UNPACK_ALIGNMENT, 4 );
	}
	return FF_SUCCESS;
}

void Umbrafex::QueueReadback( const FFGLTextureStruct& input, GLuint hostFramebuffer )
{
	glBindFramebuffer( GL_READ_FRAMEBUFFER, inputFramebuffer );
	// The input stays attached after the frame; the next frame attaches its own over it.
	glFramebufferTexture2D( GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, input.Handle, 0 );
	glBindFramebuffer( GL_DRAW_FRAMEBUFFER, scaledFramebuffer );
	// Only the picture area, not the whole allocated texture.
	glBlitFramebuffer( 0, 0, static_cast< GLint >( input.Width ), static_cast< GLint >( input.Height ), 0, 0, workWidth,
	                   workHeight, GL_COLOR_BUFFER_BIT, GL_LINEAR );
	glBindFramebuffer( GL_READ_FRAMEBUFFER, scaledFramebuffer );
	glBindBuffer( GL_PIXEL_PACK_BUFFER, packBuffers[ packIndex ] );
	glPixelStorei( GL_PACK_ALIGNMENT, 1 );
	glReadPixels( 0, 0, workWidth, workHeight, GL_RGBA, GL_UNSIGNED_BYTE, nullptr );
	glBindBuffer( GL_PIXEL_PACK_BUFFER, 0 );
	glBindFramebuffer( GL_FRAMEBUFFER, hostFramebuffer );
}

bool Umbrafex::ConsumeReadback()
{
	const size_t pixelCount = static_cast< size_t >( workWidth ) * static_cast< size_t >( workHeight );
	const size_t rowBytes   = static_cast< size_t >( workWidth ) * 4;

	glBindBuffer( GL_PIXEL_PACK_BUFFER, packBuffers[ packIndex ^ 1 ] );
	void* mapped =
	    glMapBufferRange( GL_PIXEL_PACK_BUFFER, 0, static_cast< GLsizeiptr >( pixelCount * 4 ), GL_MAP_READ_BIT );
	if( !mapped )
	{
		glBindBuffer( GL_PIXEL_PACK_BUFFER, 0 );
		return false;
	}

	// GL stores rows bottom first: start at the last row and step backwards, so row 0 is the top.
	NvCVImage frameView;
	uint8_t* lastRow = static_cast< uint8_t* >( mapped ) + ( static_cast< size_t >( workHeight ) - 1 ) * rowBytes;
	NvCVImage_Init( &frameView, static_cast< unsigned >( workWidth ), static_cast< unsigned >( workHeight ),
	                -static_cast< int >( rowBytes ), lastRow, NVCV_RGBA, NVCV_U8, NVCV_CHUNKY, NVCV_CPU );

	const bool segmented = NvCVImage_Transfer( &frameView, &srcImage, 1.0f, stream, &tmpImage ) == NVCV_SUCCESS &&
	                       NvVFX_Run( effect, 0 ) == NVCV_SUCCESS &&
	                       NvCVImage_Transfer( &dstImage, &maskImage, 1.0f, stream, &tmpImage ) == NVCV_SUCCESS;
	glUnmapBuffer( GL_PIXEL_PACK_BUFFER );
	glBindBuffer( GL_PIXEL_PACK_BUFFER, 0 );

	if( segmented )
	{
		const uint8_t* upload = static_cast< const uint8_t* >( maskImage.pixels );
		const int k           = HistoryWeight( stability );
		if( k > 0 && historySize == pixelCount )
		{
			BlendMatte( history.get(), upload, pixelCount, k );
			upload = history.get();
		}
		glBindTexture( GL_TEXTURE_2D, maskTexture );
		glPixelStorei( GL_UNPACK_ALIGNMENT, 1 );
		glTexSubImage2D( GL_TEXTURE_2D, 0, 0, 0, workWidth, workHeight, GL_RED, GL_UNSIGNED_BYTE, upload );
		glBindTexture( GL_TEXTURE_2D, 0 );
	}
	NvCVImage_Dealloc( &frameView );
	return segmented;
}

void Umbrafex::Draw( const FFGLTextureStruct& input, bool matteReady )
{
	ffglex::ScopedProgramBinding programBinding( shader.ProgramName() );
	ffglex::ScopedTextureUnitBinding maskUnit( 1 );
	ffglex::Scoped2DTextureBinding maskBinding( maskTexture );
	ffglex::ScopedTextureUnitBinding inputUnit( 0 );
	ffglex::Scoped2DTextureBinding inputBinding( input.Handle );

	shader.SetUniformInt( "InputTexture", 0 );
	shader.SetUniformInt( "MaskTexture", 1 );
	shader.SetUniformVec2( "MaxUV", static_cast< float >( input.Width ) / static_cast< float >( input.HardwareWidth ),
	                       static_cast< float >( input.Height ) / static_cast< float >( input.HardwareHeight ) );
	glUniform1f( shader.UniformLocation( "ShowMask" ), showMask );
	glUniform1f( shader.UniformLocation( "EdgeHard" ), edgeHard );
	glUniform1f( shader.UniformLocation( "Bypass" ), matteReady ? 0.0f : 1.0f );
	quad.Draw();
	// The five scopes end in reverse order; the matte texture stays bound on unit 1 until the frame ends.
}
