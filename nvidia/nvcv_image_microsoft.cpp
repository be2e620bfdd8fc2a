// The members of NvCVImage once more, as a program built with Microsoft's compiler and the vendor's
// header calls them: x64 passes `this` first (RCX) as any first argument, and a constructor answers
// `this` where GCC's answers nothing. cmake/plugin_exports.cmake exports each wrapper under the
// member's Microsoft name; only the MinGW build of the Windows DLL has them.
#include "nvidia/nvcv_image.h"

#include <new>

extern "C"
{
	NvCVImage* NvCVImageMsDefaultConstructor( NvCVImage* self )
	{
		return new( self ) NvCVImage();
	}

	NvCVImage* NvCVImageMsAllocatingConstructor( NvCVImage* self, unsigned width, unsigned height,
	                                             NvCVImage_PixelFormat format, NvCVImage_ComponentType type,
	                                             unsigned layout, unsigned memSpace, unsigned alignment )
	{
		return new( self ) NvCVImage( width, height, format, type, layout, memSpace, alignment );
	}

	NvCVImage* NvCVImageMsViewConstructor( NvCVImage* self, NvCVImage* fullImg, int x, int y, unsigned width,
	                                       unsigned height )
	{
		return new( self ) NvCVImage( fullImg, x, y, width, height );
	}

	void NvCVImageMsDestructor( NvCVImage* self )
	{
		self->~NvCVImage();
	}

	NvCVImage* NvCVImageMsAssign( NvCVImage* self, const NvCVImage* other )
	{
		return &( *self = *other );
	}

	NvCV_Status NvCVImageMsCopyFromRect( NvCVImage* self, const NvCVImage* src, int srcX, int srcY, int dstX, int dstY,
	                                     unsigned width, unsigned height, CUstream_st* stream )
	{
		return self->copyFrom( src, srcX, srcY, dstX, dstY, width, height, stream );
	}

	NvCV_Status NvCVImageMsCopyFrom( NvCVImage* self, const NvCVImage* src, CUstream_st* stream )
	{
		return self->copyFrom( src, stream );
	}
}
