#pragma once
// The image library's descriptor, NvCVImage, with its exported members; they call the image
// library's functions (nvidia/image_library.h).
#include "ffgl/export.h"
#include "nvidia/nvcv_types.h"

#include <cstddef>
#include <cstdint>

class FFGL_EXPORT NvCVImage
{
public:
	// Empty: pixels null, everything else filled by the library.
	NvCVImage();
	// Owns fresh storage of that description (pixels stay null when the library fails).
	NvCVImage( unsigned width, unsigned height, NvCVImage_PixelFormat format, NvCVImage_ComponentType type,
	           unsigned layout, unsigned memSpace, unsigned alignment );
	// A rectangle of fullImg, not owned.
	NvCVImage( NvCVImage* fullImg, int x, int y, unsigned width, unsigned height );
	~NvCVImage();

	// A releasing destructor makes a copied record a double release: copy only by assignment,
	// where the caller decides which of the two owns the storage.
	NvCVImage( const NvCVImage& ) = delete;
	// Shallow: both records then describe the same storage with the same release information.
	NvCVImage& operator=( const NvCVImage& other );

	NvCV_Status copyFrom( const NvCVImage* src, int srcX, int srcY, int dstX, int dstY, unsigned width, unsigned height,
	                      CUstream_st* stream );
	NvCV_Status copyFrom( const NvCVImage* src, CUstream_st* stream );

	uint32_t width;
	uint32_t height;
	int32_t pitch;
	NvCVImage_PixelFormat pixelFormat;
	NvCVImage_ComponentType componentType;
	uint8_t pixelBytes;
	uint8_t componentBytes;
	uint8_t numComponents;
	uint8_t planar;
	uint8_t gpuMem;
	uint8_t colorspace;
	uint8_t reserved[ 2 ];
	void* pixels;
	void* deletePtr;
	void ( *deleteProc )( void* p );
	uint64_t bufferBytes;
};

// The library reads and fills this record: its layout is fixed.
static_assert( sizeof( NvCVImage ) == 64, "NvCVImage is 64 bytes" );
static_assert( offsetof( NvCVImage, width ) == 0, "NvCVImage::width" );
static_assert( offsetof( NvCVImage, height ) == 4, "NvCVImage::height" );
static_assert( offsetof( NvCVImage, pitch ) == 8, "NvCVImage::pitch" );
static_assert( offsetof( NvCVImage, pixelFormat ) == 12, "NvCVImage::pixelFormat" );
static_assert( offsetof( NvCVImage, componentType ) == 16, "NvCVImage::componentType" );
static_assert( offsetof( NvCVImage, pixelBytes ) == 20, "NvCVImage::pixelBytes" );
static_assert( offsetof( NvCVImage, componentBytes ) == 21, "NvCVImage::componentBytes" );
static_assert( offsetof( NvCVImage, numComponents ) == 22, "NvCVImage::numComponents" );
static_assert( offsetof( NvCVImage, planar ) == 23, "NvCVImage::planar" );
static_assert( offsetof( NvCVImage, gpuMem ) == 24, "NvCVImage::gpuMem" );
static_assert( offsetof( NvCVImage, colorspace ) == 25, "NvCVImage::colorspace" );
static_assert( offsetof( NvCVImage, reserved ) == 26, "NvCVImage::reserved" );
static_assert( offsetof( NvCVImage, pixels ) == 32, "NvCVImage::pixels" );
static_assert( offsetof( NvCVImage, deletePtr ) == 40, "NvCVImage::deletePtr" );
static_assert( offsetof( NvCVImage, deleteProc ) == 48, "NvCVImage::deleteProc" );
static_assert( offsetof( NvCVImage, bufferBytes ) == 56, "NvCVImage::bufferBytes" );
