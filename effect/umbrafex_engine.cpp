// The segmentation engine's life: set-up in a fixed order, release, model directory, DeInitGL.
#include "effect/umbrafex.h"

#include "effect/work_size.h"
#include "ffgl/log.h"
#include "nvidia/image_library.h"
#include "nvidia/video_effects.h"
#include "platform/platform.h"

#include <cstdio>
#include <cstring>
#include <new>

// A work-size texture with linear filtering, left bound on the active unit for its caller to finish.
static GLuint MakeWorkTexture( GLint internalFormat, GLenum format, GLsizei width, GLsizei height )
{
	GLuint texture = 0;
	glGenTextures( 1, &texture );
	glBindTexture( GL_TEXTURE_2D, texture );
	glTexImage2D( GL_TEXTURE_2D, 0, internalFormat, width, height, 0, format, GL_UNSIGNED_BYTE, nullptr );
	glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR );
	glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR );
	return texture;
}

// Deletes a framebuffer or texture the engine holds and clears its name; nothing for a name of 0.
static void DeleteFramebuffer( GLuint& name )
{
	if( name != 0 )
		glDeleteFramebuffers( 1, &name );
	name = 0;
}

static void DeleteTexture( GLuint& name )
{
	if( name != 0 )
		glDeleteTextures( 1, &name );
	name = 0;
}

const char* Umbrafex::ModelDirectory( char ( &buffer )[ kModelDirectorySize ] ) const
{
	char root[ 1024 ]     = {};
	const uint32_t length = platform::ReadEnvironment( "NV_VIDEO_EFFECTS_PATH", root, sizeof( root ) );
	// Unset, empty or too long for the buffer: the vendor's install folder, as written.
	const char* base =
	    ( length >= 1 && length <= 1023 ) ? root : "C:\\Program Files\\NVIDIA Corporation\\NVIDIA Video Effects";
	std::snprintf( buffer, sizeof( buffer ), "%s\\models", base );
	return buffer;
}

bool Umbrafex::SetupEngine( int32_t width, int32_t height )
{
	ReleaseEngine();

	const WorkSize size = ComputeWorkSize( width, height );
	workWidth           = size.width;
	workHeight          = size.height;
	if( workWidth < 2 || workHeight < 2 )
		return false;
	sourceWidth  = width;
	sourceHeight = height;

	if( NvVFX_CreateEffect( "GreenScreen", &effect ) != NVCV_SUCCESS )
	{
		LogToHost( "Umbrafex: NvVFX_CreateEffect failed (runtime NVIDIA Video Effects absent ?)" );
		return false;
	}
	char modelDirectory[ kModelDirectorySize ];
	if( NvVFX_SetString( effect, "ModelDir", ModelDirectory( modelDirectory ) ) != NVCV_SUCCESS )
	{
		LogToHost( "Umbrafex: NvVFX_SetString(MODEL_DIRECTORY) failed" );
		return false;
	}
	// A NaN "Quality" is not >= 0.5, so it asks for the performance mode.
	NvVFX_SetU32( effect, "Mode", quality >= 0.5f ? 0u : 1u );
	NvVFX_SetU32( effect, "Temporal", 1u );
	if( NvVFX_CudaStreamCreate( &stream ) != NVCV_SUCCESS )
	{
		LogToHost( "Umbrafex: NvVFX_CudaStreamCreate failed" );
		return false;
	}
	NvVFX_SetCudaStream( effect, "CudaStream", stream );

	const unsigned w = static_cast< unsigned >( workWidth );
	const unsigned h = static_cast< unsigned >( workHeight );
	if( NvCVImage_Alloc( &srcImage, w, h, NVCV_BGR, NVCV_U8, NVCV_CHUNKY, NVCV_GPU, 1 ) != NVCV_SUCCESS )
		return false;
	if( NvCVImage_Alloc( &dstImage, w, h, NVCV_A, NVCV_U8, NVCV_CHUNKY, NVCV_GPU, 1 ) != NVCV_SUCCESS )
		return false;
	if( NvCVImage_Alloc( &maskImage, w, h, NVCV_A, NVCV_U8, NVCV_CHUNKY, NVCV_CPU, 1 ) != NVCV_SUCCESS )
		return false;
	NvVFX_SetImage( effect, "SrcImage0", &srcImage );
	NvVFX_SetImage( effect, "DstImage0", &dstImage );
	if( NvVFX_Load( effect ) != NVCV_SUCCESS )
	{
		LogToHost( "Umbrafex: NvVFX_Load failed (modeles introuvables ?)" );
		return false;
	}

	// Both textures are bound on whatever unit the host left active.
	scaledTexture = MakeWorkTexture( GL_RGBA8, GL_RGBA, workWidth, workHeight );
	maskTexture   = MakeWorkTexture( GL_R8, GL_RED, workWidth, workHeight );
	// The matte is sampled over the whole quad: clamped, so its edges do not wrap.
	glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE );
	glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE );
	glBindTexture( GL_TEXTURE_2D, 0 );

	glGenFramebuffers( 1, &inputFramebuffer );
	glGenFramebuffers( 1, &scaledFramebuffer );
	glBindFramebuffer( GL_FRAMEBUFFER, scaledFramebuffer );
	glFramebufferTexture2D( GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, scaledTexture, 0 );
	const GLenum status = glCheckFramebufferStatus( GL_FRAMEBUFFER );
	glBindFramebuffer( GL_FRAMEBUFFER, 0 );
	if( status != GL_FRAMEBUFFER_COMPLETE )
	{
		LogToHost( "Umbrafex: FBO incomplet" );
		return false;
	}

	const size_t pixelCount    = static_cast< size_t >( workWidth ) * static_cast< size_t >( workHeight );
	const GLsizeiptr packBytes = static_cast< GLsizeiptr >( pixelCount * 4 );
	glGenBuffers( 2, packBuffers );
	for( int i = 0; i < 2; ++i )
	{
		glBindBuffer( GL_PIXEL_PACK_BUFFER, packBuffers[ i ] );
		glBufferData( GL_PIXEL_PACK_BUFFER, packBytes, nullptr, GL_STREAM_READ );
	}
	glBindBuffer( GL_PIXEL_PACK_BUFFER, 0 );

	// Out of memory here is a failed set-up, never an exception towards the host.
	if( historySize != pixelCount )
	{
		history.reset();
		historySize = 0;
		history.reset( new( std::nothrow ) uint8_t[ pixelCount ] );
		if( !history )
			return false;
		historySize = pixelCount;
	}
	std::memset( history.get(), 0, pixelCount );

	packIndex       = 0;
	readbackPending = false;
	ready           = true;
	LogToHost( "Umbrafex: NvVFX AI Green Screen charge (v2 async)" );
	return true;
}

void Umbrafex::ReleaseEngine()
{
	if( effect )
	{
		NvVFX_DestroyEffect( effect );
		effect = nullptr;
	}
	if( stream )
	{
		NvVFX_CudaStreamDestroy( stream );
		stream = nullptr;
	}
	NvCVImage_Dealloc( &srcImage );
	NvCVImage_Dealloc( &dstImage );
	NvCVImage_Dealloc( &maskImage );
	NvCVImage_Dealloc( &tmpImage );
	if( packBuffers[ 0 ] != 0 || packBuffers[ 1 ] != 0 )
	{
		glDeleteBuffers( 2, packBuffers );
		packBuffers[ 0 ] = 0;
		packBuffers[ 1 ] = 0;
	}
	DeleteFramebuffer( inputFramebuffer );
	DeleteFramebuffer( scaledFramebuffer );
	DeleteTexture( scaledTexture );
	DeleteTexture( maskTexture );
	ready           = false;
	readbackPending = false;
}

FFResult Umbrafex::DeInitGL()
{
	ReleaseEngine();
	setupFailed = false;
	shader.Release();
	quad.Release();
	return FF_SUCCESS;
}
