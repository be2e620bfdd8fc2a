// Finds NVVideoEffects.dll on first use and forwards the runtime's functions to it.
#include "nvidia/video_effects.h"

#include "nvidia/library_search.h"

namespace nvidia
{
// Sets the DLL directory on every call (unless told to use the application's path); loads the
// library once per process, and keeps the result, null included.
static void* getVideoEffectsLibrary()
{
	char value[ kPathChars ];
	char directory[ kPathChars ];
	if( !IsUseAppPath( "NV_VIDEO_EFFECTS_PATH", value ) &&
	    ProgramFilesFolder( "NVIDIA Video Effects", value, directory ) )
		platform::SetLibraryDirectory( directory );

	static void* const library = platform::LoadLibraryFile( "NVVideoEffects.dll" );
	return library;
}

// Each entry point resolves its export once, in the initialiser of its own function-local static.
template< typename Fn >
static Fn VideoEffectsExport( const char* name )
{
	return ResolveExport< Fn >( getVideoEffectsLibrary(), name );
}
}

using nvidia::VideoEffectsExport;

NvCV_Status NvVFX_CreateEffect( const char* code, NvVFX_Handle* effect )
{
	static const auto fn = VideoEffectsExport< decltype( &NvVFX_CreateEffect ) >( "NvVFX_CreateEffect" );
	return fn ? fn( code, effect ) : NVCV_ERR_LIBRARY;
}

void NvVFX_DestroyEffect( NvVFX_Handle effect )
{
	static const auto fn = VideoEffectsExport< decltype( &NvVFX_DestroyEffect ) >( "NvVFX_DestroyEffect" );
	if( fn )
		fn( effect );
}

NvCV_Status NvVFX_SetU32( NvVFX_Handle effect, const char* paramName, unsigned int val )
{
	static const auto fn = VideoEffectsExport< decltype( &NvVFX_SetU32 ) >( "NvVFX_SetU32" );
	return fn ? fn( effect, paramName, val ) : NVCV_ERR_LIBRARY;
}

NvCV_Status NvVFX_SetImage( NvVFX_Handle effect, const char* paramName, NvCVImage* im )
{
	static const auto fn = VideoEffectsExport< decltype( &NvVFX_SetImage ) >( "NvVFX_SetImage" );
	return fn ? fn( effect, paramName, im ) : NVCV_ERR_LIBRARY;
}

NvCV_Status NvVFX_SetString( NvVFX_Handle effect, const char* paramName, const char* str )
{
	static const auto fn = VideoEffectsExport< decltype( &NvVFX_SetString ) >( "NvVFX_SetString" );
	return fn ? fn( effect, paramName, str ) : NVCV_ERR_LIBRARY;
}

NvCV_Status NvVFX_SetCudaStream( NvVFX_Handle effect, const char* paramName, CUstream_st* stream )
{
	static const auto fn = VideoEffectsExport< decltype( &NvVFX_SetCudaStream ) >( "NvVFX_SetCudaStream" );
	return fn ? fn( effect, paramName, stream ) : NVCV_ERR_LIBRARY;
}

NvCV_Status NvVFX_Run( NvVFX_Handle effect, int async )
{
	static const auto fn = VideoEffectsExport< decltype( &NvVFX_Run ) >( "NvVFX_Run" );
	return fn ? fn( effect, async ) : NVCV_ERR_LIBRARY;
}

NvCV_Status NvVFX_Load( NvVFX_Handle effect )
{
	static const auto fn = VideoEffectsExport< decltype( &NvVFX_Load ) >( "NvVFX_Load" );
	return fn ? fn( effect ) : NVCV_ERR_LIBRARY;
}

NvCV_Status NvVFX_CudaStreamCreate( CUstream_st** stream )
{
	static const auto fn = VideoEffectsExport< decltype( &NvVFX_CudaStreamCreate ) >( "NvVFX_CudaStreamCreate" );
	return fn ? fn( stream ) : NVCV_ERR_LIBRARY;
}

NvCV_Status NvVFX_CudaStreamDestroy( CUstream_st* stream )
{
	static const auto fn = VideoEffectsExport< decltype( &NvVFX_CudaStreamDestroy ) >( "NvVFX_CudaStreamDestroy" );
	return fn ? fn( stream ) : NVCV_ERR_LIBRARY;
}
