// The exported members of the image descriptor, on top of the image library's functions.
#include "nvidia/nvcv_image.h"

#include "nvidia/image_library.h"

#include <cstring>

namespace nvidia
{
// With the library missing the record stays all zero, an empty image, instead of indeterminate.
static void Clear( NvCVImage* image )
{
	std::memset( static_cast< void* >( image ), 0, sizeof( NvCVImage ) );
}
}

using nvidia::Clear;

NvCVImage::NvCVImage()
{
	Clear( this );
	NvCVImage_Alloc( this, 0, 0, NVCV_FORMAT_UNKNOWN, NVCV_TYPE_UNKNOWN, 0, 0, 0 );
}

NvCVImage::NvCVImage( unsigned width, unsigned height, NvCVImage_PixelFormat format, NvCVImage_ComponentType type,
                      unsigned layout, unsigned memSpace, unsigned alignment )
{
	Clear( this );
	NvCVImage_Alloc( this, width, height, format, type, layout, memSpace, alignment );
}

NvCVImage::NvCVImage( NvCVImage* fullImg, int x, int y, unsigned width, unsigned height )
{
	Clear( this );
	NvCVImage_InitView( this, fullImg, x, y, width, height );
}

NvCVImage::~NvCVImage()
{
	NvCVImage_Dealloc( this );
}

NvCVImage& NvCVImage::operator=( const NvCVImage& other )
{
	if( this != &other )
		std::memcpy( static_cast< void* >( this ), &other, sizeof( NvCVImage ) );
	return *this;
}

NvCV_Status NvCVImage::copyFrom( const NvCVImage* src, int srcX, int srcY, int dstX, int dstY, unsigned width,
                                 unsigned height, CUstream_st* stream )
{
	const NvCVRect2i rect   = { srcX, srcY, static_cast< int >( width ), static_cast< int >( height ) };
	const NvCVPoint2i point = { dstX, dstY };
	return NvCVImage_TransferRect( src, &rect, this, &point, 1.0f, stream, nullptr );
}

NvCV_Status NvCVImage::copyFrom( const NvCVImage* src, CUstream_st* stream )
{
	return NvCVImage_Transfer( src, this, 1.0f, stream, nullptr );
}
