#pragma once
// The video effects runtime's functions, which forward to NVVideoEffects.dll once it is found.
// Each answers -11 (NVCV_ERR_LIBRARY), or does nothing, when the runtime or the export is missing.
#include "nvidia/nvcv_types.h"

class NvCVImage;

extern "C"
{
	NvCV_Status NvVFX_CreateEffect( const char* code, NvVFX_Handle* effect );
	void NvVFX_DestroyEffect( NvVFX_Handle effect );
	NvCV_Status NvVFX_SetU32( NvVFX_Handle effect, const char* paramName, unsigned int val );
	NvCV_Status NvVFX_SetImage( NvVFX_Handle effect, const char* paramName, NvCVImage* im );
	NvCV_Status NvVFX_SetString( NvVFX_Handle effect, const char* paramName, const char* str );
	NvCV_Status NvVFX_SetCudaStream( NvVFX_Handle effect, const char* paramName, CUstream_st* stream );
	NvCV_Status NvVFX_Run( NvVFX_Handle effect, int async );
	NvCV_Status NvVFX_Load( NvVFX_Handle effect );
	NvCV_Status NvVFX_CudaStreamCreate( CUstream_st** stream );
	NvCV_Status NvVFX_CudaStreamDestroy( CUstream_st* stream );
}
