// Describing, allocating and releasing images: NvCVImage_Init, _InitView, _Alloc, _Dealloc.
#include "runtime/call_log.h"
#include "runtime/refrt_export.h"
#include "runtime/refrt_image.h"
#include "runtime/refrt_objects.h"

#include <cstdint>
#include <new>

namespace refrt
{
namespace
{
void FreeOwnedBuffer( void* buffer )
{
	if( !buffer )
		return;
	delete[] static_cast< uint8_t* >( buffer );
	RefRt_CountObjects( -1 );
}

// A record without pixels holds no storage, whatever its other fields hold.
bool HoldsStorage( const RefRtImage& image )
{
	return image.pixels && image.deleteProc && image.deletePtr;
}

void ForgetStorage( RefRtImage& image )
{
	image.pixels      = nullptr;
	image.deletePtr   = nullptr;
	image.deleteProc  = nullptr;
	image.bufferBytes = 0;
}

void ReleaseStorage( RefRtImage& image )
{
	if( HoldsStorage( image ) )
		image.deleteProc( image.deletePtr );
	ForgetStorage( image );
}

bool InsideStorage( const RefRtImage& image, const void* pointer )
{
	if( !HoldsStorage( image ) || !pointer )
		return false;
	uintptr_t start = reinterpret_cast< uintptr_t >( image.deletePtr );
	uintptr_t at    = reinterpret_cast< uintptr_t >( pointer );
	return at >= start && at - start < image.bufferBytes;
}

// Before a record is re-described: storage it owns is released, unless the new pixels lie in it
// (a record re-describing its own buffer keeps owning it, so it is neither lost nor left dangling).
void PrepareRedescribe( RefRtImage& image, const void* newPixels )
{
	if( InsideStorage( image, newPixels ) )
		return;
	ReleaseStorage( image );
}

void Describe( RefRtImage& image, uint32_t width, uint32_t height, int32_t format, int32_t type, uint32_t layout,
               uint32_t memSpace )
{
	unsigned components  = refrt::ComponentsOf( format );
	unsigned bytes       = refrt::ComponentBytesOf( type );
	image.width          = width;
	image.height         = height;
	image.pixelFormat    = format;
	image.componentType  = type;
	image.componentBytes = static_cast< uint8_t >( bytes );
	image.numComponents  = static_cast< uint8_t >( components );
	image.pixelBytes     = static_cast< uint8_t >( layout == NVCV_PLANAR ? bytes : components * bytes );
	image.planar         = static_cast< uint8_t >( layout );
	image.gpuMem         = static_cast< uint8_t >( memSpace );
	image.colorspace     = 0;
	image.reserved[ 0 ]  = 0;
	image.reserved[ 1 ]  = 0;
}

bool ValidDescription( int32_t format, int32_t type )
{
	return format >= NVCV_FORMAT_UNKNOWN && format <= NVCV_BGRA && type >= NVCV_TYPE_UNKNOWN && type <= NVCV_F32;
}

NvCV_Status AllocImage( RefRtImage* image, uint32_t width, uint32_t height, int32_t format, int32_t type,
                        uint32_t layout, uint32_t memSpace, uint32_t alignment )
{
	if( !image )
		return NVCV_ERR_PARAMETER;
	if( layout > NVCV_PLANAR || memSpace > NVCV_CPU_PINNED )
		return NVCV_ERR_PARAMETER;
	if( width == 0 || height == 0 )
	{
		if( !ValidDescription( format, type ) )
			return NVCV_ERR_PIXELFORMAT;
		ReleaseStorage( *image );
		Describe( *image, width, height, format, type, layout, memSpace );
		image->pitch = 0;
		return NVCV_SUCCESS;
	}
	unsigned components = refrt::ComponentsOf( format );
	unsigned bytes      = refrt::ComponentBytesOf( type );
	if( components == 0 || bytes == 0 )
		return NVCV_ERR_PIXELFORMAT;
	uint64_t planes   = layout == NVCV_PLANAR ? components : 1;
	uint64_t rowBytes = static_cast< uint64_t >( width ) * ( layout == NVCV_PLANAR ? bytes : components * bytes );
	uint64_t align    = alignment > 1 ? alignment : 1;
	uint64_t pitch    = ( rowBytes + align - 1 ) / align * align;
	if( pitch > INT32_MAX || height > UINT64_MAX / ( pitch * planes ) )
		return NVCV_ERR_MEMORY;
	uint64_t total = pitch * height * planes;
	if( total > SIZE_MAX )
		return NVCV_ERR_MEMORY;

	// Our own buffer, large enough: reused in place (same pixels).
	if( HoldsStorage( *image ) && image->deleteProc == FreeOwnedBuffer && image->bufferBytes >= total )
	{
		Describe( *image, width, height, format, type, layout, memSpace );
		image->pitch  = static_cast< int32_t >( pitch );
		image->pixels = image->deletePtr;
		return NVCV_SUCCESS;
	}
	// New storage first: a failed allocation leaves the record and its storage as they were.
	uint8_t* buffer = new( std::nothrow ) uint8_t[ static_cast< size_t >( total ) ];
	if( !buffer )
		return NVCV_ERR_MEMORY;
	RefRt_CountObjects( 1 );
	ReleaseStorage( *image );
	Describe( *image, width, height, format, type, layout, memSpace );
	image->pitch       = static_cast< int32_t >( pitch );
	image->pixels      = buffer;
	image->deletePtr   = buffer;
	image->deleteProc  = FreeOwnedBuffer;
	image->bufferBytes = total;
	return NVCV_SUCCESS;
}

NvCV_Status InitImage( RefRtImage* image, uint32_t width, uint32_t height, int32_t pitch, void* pixels, int32_t format,
                       int32_t type, uint32_t layout, uint32_t memSpace )
{
	if( !image )
		return NVCV_ERR_PARAMETER;
	if( !ValidDescription( format, type ) )
		return NVCV_ERR_PIXELFORMAT;
	if( layout > NVCV_PLANAR || memSpace > NVCV_CPU_PINNED )
		return NVCV_ERR_PARAMETER;
	PrepareRedescribe( *image, pixels );
	Describe( *image, width, height, format, type, layout, memSpace );
	image->pitch  = pitch;
	image->pixels = pixels;
	return NVCV_SUCCESS;
}

void DeallocImage( RefRtImage* image )
{
	if( image )
		ReleaseStorage( *image );
}

void InitView( RefRtImage* view, const RefRtImage* full, int x, int y, uint32_t width, uint32_t height )
{
	if( !view || !full )
		return;
	// Read before writing: the view may be the full image itself.
	RefRtImage source = *full;
	bool fits         = source.pixels && x >= 0 && y >= 0 && width > 0 && height > 0 &&
	            static_cast< uint64_t >( x ) + width <= source.width &&
	            static_cast< uint64_t >( y ) + height <= source.height;
	void* pixels = fits ? refrt::RowOf( source, y ) + static_cast< int64_t >( x ) * source.pixelBytes : nullptr;
	PrepareRedescribe( *view, pixels );
	RefRtImage result  = source;
	result.width       = fits ? width : 0;
	result.height      = fits ? height : 0;
	result.pixels      = pixels;
	result.deletePtr   = view->deletePtr;
	result.deleteProc  = view->deleteProc;
	result.bufferBytes = view->bufferBytes;
	*view              = result;
}
}
}

extern "C"
{
	REFRT_EXPORT NvCV_Status NvCVImage_Init( RefRtImage* image, unsigned width, unsigned height, int pitch,
	                                         void* pixels, NvCVImage_PixelFormat format, NvCVImage_ComponentType type,
	                                         unsigned layout, unsigned memSpace )
	{
		return refrt::Forward( "NvCVImage_Init", refrt::InitImage, image, width, height, pitch, pixels, format, type,
		                       layout, memSpace );
	}

	REFRT_EXPORT void NvCVImage_InitView( RefRtImage* subImage, RefRtImage* fullImage, int x, int y, unsigned width,
	                                      unsigned height )
	{
		refrt::Forward( "NvCVImage_InitView", refrt::InitView, subImage, fullImage, x, y, width, height );
	}

	REFRT_EXPORT NvCV_Status NvCVImage_Alloc( RefRtImage* image, unsigned width, unsigned height,
	                                          NvCVImage_PixelFormat format, NvCVImage_ComponentType type,
	                                          unsigned layout, unsigned memSpace, unsigned alignment )
	{
		return refrt::Forward( "NvCVImage_Alloc", refrt::AllocImage, image, width, height, format, type, layout,
		                       memSpace, alignment );
	}

	REFRT_EXPORT void NvCVImage_Dealloc( RefRtImage* image )
	{
		refrt::Forward( "NvCVImage_Dealloc", refrt::DeallocImage, image );
	}
}
