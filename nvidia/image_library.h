#pragma once
// The image library's functions, which forward to NVCVImage.dll once it is found. Each answers -11
// (NVCV_ERR_LIBRARY), or does nothing, when the library or the export is missing.
#include "ffgl/export.h"
#include "nvidia/nvcv_types.h"

class NvCVImage;

extern "C"
{
	NvCV_Status NvCVImage_Init( NvCVImage* im, unsigned width, unsigned height, int pitch, void* pixels,
	                            NvCVImage_PixelFormat format, NvCVImage_ComponentType type, unsigned layout,
	                            unsigned memSpace );
	void NvCVImage_InitView( NvCVImage* subImg, NvCVImage* fullImg, int x, int y, unsigned width, unsigned height );
	NvCV_Status NvCVImage_Alloc( NvCVImage* im, unsigned width, unsigned height, NvCVImage_PixelFormat format,
	                             NvCVImage_ComponentType type, unsigned layout, unsigned memSpace, unsigned alignment );
	void NvCVImage_Dealloc( NvCVImage* im );
	NvCV_Status NvCVImage_Transfer( const NvCVImage* src, NvCVImage* dst, float scale, CUstream_st* stream,
	                                NvCVImage* tmp );
	NvCV_Status NvCVImage_TransferRect( const NvCVImage* src, const NvCVRect2i* srcRect, NvCVImage* dst,
	                                    const NvCVPoint2i* dstPt, float scale, CUstream_st* stream, NvCVImage* tmp );
	// Also exported from the plug-in.
	FFGL_EXPORT const char* NvCV_GetErrorStringFromCode( NvCV_Status code );
}
