// The Video Effects runtime's exports: the "GreenScreen" effect on the CPU, and streams as tokens.
#include "runtime/call_log.h"
#include "runtime/green_keyer.h"
#include "runtime/os.h"
#include "runtime/refrt_export.h"
#include "runtime/refrt_image.h"
#include "runtime/refrt_objects.h"
#include "runtime/segmenter.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

struct NvVFX_Object
{
	uint32_t tag;
	char* modelDir;
	uint32_t mode;
	uint32_t temporal;
	CUstream_st* stream;
	RefRtImage* source;
	RefRtImage* matte;
	bool loaded;
	refrt::Segmenter* network; // null: the keyer
};

struct CUstream_st
{
	uint32_t tag;
};

namespace refrt
{
namespace
{
// Both kinds of object start with a tag, so a handle of the wrong kind (or a destroyed one) is refused.
const uint32_t kEffectTag = 0x58465645;
const uint32_t kStreamTag = 0x4d525453;

NvVFX_Object* AsEffect( NvVFX_Handle handle )
{
	return handle && handle->tag == kEffectTag ? handle : nullptr;
}

bool Is( const char* selector, const char* name )
{
	return std::strcmp( selector, name ) == 0;
}

NvCV_Status CreateEffect( const char* selector, NvVFX_Handle* handle )
{
	if( !selector || !handle )
		return NVCV_ERR_PARAMETER;
	if( !Is( selector, "GreenScreen" ) )
		return NVCV_ERR_SELECTOR;
	NvVFX_Object* effect = new( std::nothrow ) NvVFX_Object();
	if( !effect )
		return NVCV_ERR_MEMORY;
	effect->tag = kEffectTag;
	RefRt_CountObjects( 1 );
	*handle = effect;
	return NVCV_SUCCESS;
}

void DestroyEffect( NvVFX_Handle handle )
{
	NvVFX_Object* effect = AsEffect( handle );
	if( !effect )
		return;
	effect->tag = 0;
	delete effect->network;
	delete[] effect->modelDir;
	delete effect;
	RefRt_CountObjects( -1 );
}

NvCV_Status SetU32( NvVFX_Handle handle, const char* selector, uint32_t value )
{
	NvVFX_Object* effect = AsEffect( handle );
	if( !effect || !selector )
		return NVCV_ERR_PARAMETER;
	uint32_t* field = Is( selector, "Mode" ) ? &effect->mode : Is( selector, "Temporal" ) ? &effect->temporal : nullptr;
	if( !field )
		return NVCV_ERR_SELECTOR;
	if( value > 1 )
		return NVCV_ERR_PARAMETER;
	*field = value;
	return NVCV_SUCCESS;
}

NvCV_Status SetImage( NvVFX_Handle handle, const char* selector, RefRtImage* image )
{
	NvVFX_Object* effect = AsEffect( handle );
	if( !effect || !selector )
		return NVCV_ERR_PARAMETER;
	if( Is( selector, "SrcImage0" ) )
		effect->source = image;
	else if( Is( selector, "DstImage0" ) )
		effect->matte = image;
	else
		return NVCV_ERR_SELECTOR;
	return NVCV_SUCCESS;
}

NvCV_Status SetString( NvVFX_Handle handle, const char* selector, const char* text )
{
	NvVFX_Object* effect = AsEffect( handle );
	if( !effect || !selector )
		return NVCV_ERR_PARAMETER;
	if( !Is( selector, "ModelDir" ) )
		return NVCV_ERR_SELECTOR;
	if( !text )
		return NVCV_ERR_PARAMETER;
	// Our own copy: the caller frees its text once set-up is done.
	size_t length = std::strlen( text );
	char* copy    = new( std::nothrow ) char[ length + 1 ];
	if( !copy )
		return NVCV_ERR_MEMORY;
	std::memcpy( copy, text, length + 1 );
	delete[] effect->modelDir;
	effect->modelDir = copy;
	return NVCV_SUCCESS;
}

NvCV_Status SetCudaStream( NvVFX_Handle handle, const char* selector, CUstream_st* stream )
{
	NvVFX_Object* effect = AsEffect( handle );
	if( !effect || !selector )
		return NVCV_ERR_PARAMETER;
	if( !Is( selector, "CudaStream" ) )
		return NVCV_ERR_SELECTOR;
	effect->stream = stream;
	return NVCV_SUCCESS;
}

NvCV_Status Load( NvVFX_Handle handle )
{
	NvVFX_Object* effect = AsEffect( handle );
	if( !effect )
		return NVCV_ERR_PARAMETER;
	effect->loaded = false;
	delete effect->network;
	effect->network = nullptr;
	if( !refrt::ModelFolderExists( effect->modelDir ) )
		return NVCV_ERR_MODEL;
	// A folder without either model keys green, as the exact tests expect.
	if( !HoldsAModel( effect->modelDir ) )
	{
		effect->loaded = true;
		return NVCV_SUCCESS;
	}
	effect->network = new( std::nothrow ) Segmenter();
	if( !effect->network )
		return NVCV_ERR_MEMORY;
	std::string error;
	NvCV_Status status = NVCV_ERR_MEMORY;
	// The message's memory is the only thing that can throw here, and nothing may leave an export.
	try
	{
		status = effect->network->Load( effect->modelDir, effect->mode, &error );
	}
	catch( const std::bad_alloc& )
	{
		error = "out of memory";
	}
	if( status != NVCV_SUCCESS )
	{
		// One line: ONNX Runtime's own messages span several.
		for( char& c : error )
			c = c == '\n' || c == '\r' ? ' ' : c;
		std::fprintf( stderr, "NVVideoEffects: %s\n", error.c_str() );
		std::fflush( stderr );
		delete effect->network;
		effect->network = nullptr;
		return status;
	}
	effect->loaded = true;
	return NVCV_SUCCESS;
}

// Per frame: checks and the keyer or the network, nothing allocated in steady frames. Always
// synchronous: the matte is complete when the call returns, whatever the flag asks.
NvCV_Status Run( NvVFX_Handle handle, int /* async */ )
{
	NvVFX_Object* effect = AsEffect( handle );
	if( !effect )
		return NVCV_ERR_PARAMETER;
	if( !effect->loaded )
		return NVCV_ERR_MODEL;
	const RefRtImage* source = effect->source;
	RefRtImage* matte        = effect->matte;
	if( !source || !matte )
		return NVCV_ERR_BUFFER;
	if( !refrt::IsChunkyU8( *source ) || source->pixelFormat != NVCV_BGR || !refrt::IsChunkyU8( *matte ) ||
	    matte->pixelFormat != NVCV_A )
		return NVCV_ERR_PIXELFORMAT;
	if( source->width != matte->width || source->height != matte->height )
		return NVCV_ERR_MISMATCH;
	if( !source->pixels || !matte->pixels )
		return NVCV_ERR_BUFFER;
	if( effect->network && refrt::MatteOverride() < 0 )
		return effect->network->Run( *source, *matte );
	refrt::KeyGreen( *source, *matte, refrt::MatteOverride() );
	return NVCV_SUCCESS;
}

#if !defined( REFRT_NO_STREAM_CREATE )
NvCV_Status CreateStream( CUstream_st** stream )
{
	if( !stream )
		return NVCV_ERR_PARAMETER;
	CUstream_st* token = new( std::nothrow ) CUstream_st();
	if( !token )
		return NVCV_ERR_MEMORY;
	token->tag = kStreamTag;
	RefRt_CountObjects( 1 );
	*stream = token;
	return NVCV_SUCCESS;
}
#endif

NvCV_Status DestroyStream( CUstream_st* stream )
{
	if( !stream || stream->tag != kStreamTag )
		return NVCV_ERR_PARAMETER;
	stream->tag = 0;
	delete stream;
	RefRt_CountObjects( -1 );
	return NVCV_SUCCESS;
}
}
}

extern "C"
{
	REFRT_EXPORT NvCV_Status NvVFX_CreateEffect( const char* selector, NvVFX_Handle* effect )
	{
		return refrt::Forward( "NvVFX_CreateEffect", refrt::CreateEffect, selector, effect );
	}

	REFRT_EXPORT void NvVFX_DestroyEffect( NvVFX_Handle effect )
	{
		refrt::Forward( "NvVFX_DestroyEffect", refrt::DestroyEffect, effect );
	}

	REFRT_EXPORT NvCV_Status NvVFX_SetU32( NvVFX_Handle effect, const char* selector, unsigned int value )
	{
		return refrt::Forward( "NvVFX_SetU32", refrt::SetU32, effect, selector, value );
	}

	REFRT_EXPORT NvCV_Status NvVFX_SetImage( NvVFX_Handle effect, const char* selector, RefRtImage* image )
	{
		return refrt::Forward( "NvVFX_SetImage", refrt::SetImage, effect, selector, image );
	}

	REFRT_EXPORT NvCV_Status NvVFX_SetString( NvVFX_Handle effect, const char* selector, const char* text )
	{
		return refrt::Forward( "NvVFX_SetString", refrt::SetString, effect, selector, text );
	}

	REFRT_EXPORT NvCV_Status NvVFX_SetCudaStream( NvVFX_Handle effect, const char* selector, CUstream_st* stream )
	{
		return refrt::Forward( "NvVFX_SetCudaStream", refrt::SetCudaStream, effect, selector, stream );
	}

	REFRT_EXPORT NvCV_Status NvVFX_Run( NvVFX_Handle effect, int async )
	{
		return refrt::Forward( "NvVFX_Run", refrt::Run, effect, async );
	}

	REFRT_EXPORT NvCV_Status NvVFX_Load( NvVFX_Handle effect )
	{
		return refrt::Forward( "NvVFX_Load", refrt::Load, effect );
	}

#if !defined( REFRT_NO_STREAM_CREATE )
	REFRT_EXPORT NvCV_Status NvVFX_CudaStreamCreate( CUstream_st** stream )
	{
		return refrt::Forward( "NvVFX_CudaStreamCreate", refrt::CreateStream, stream );
	}
#endif

	REFRT_EXPORT NvCV_Status NvVFX_CudaStreamDestroy( CUstream_st* stream )
	{
		return refrt::Forward( "NvVFX_CudaStreamDestroy", refrt::DestroyStream, stream );
	}
}
