#pragma once
// The image record as the image library fills it (64 bytes, pixels at 32), and the sizes of its
// formats and component types.
#include "nvidia/nvcv_types.h"

#include <cstddef>
#include <cstdint>

struct RefRtImage
{
	uint32_t width;
	uint32_t height;
	int32_t pitch;
	int32_t pixelFormat;
	int32_t componentType;
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

// Callers hand us their own declaration of this record: the layout is the contract.
static_assert( sizeof( RefRtImage ) == 64, "RefRtImage is 64 bytes" );
static_assert( offsetof( RefRtImage, width ) == 0, "width" );
static_assert( offsetof( RefRtImage, height ) == 4, "height" );
static_assert( offsetof( RefRtImage, pitch ) == 8, "pitch" );
static_assert( offsetof( RefRtImage, pixelFormat ) == 12, "pixelFormat" );
static_assert( offsetof( RefRtImage, componentType ) == 16, "componentType" );
static_assert( offsetof( RefRtImage, pixelBytes ) == 20, "pixelBytes" );
static_assert( offsetof( RefRtImage, componentBytes ) == 21, "componentBytes" );
static_assert( offsetof( RefRtImage, numComponents ) == 22, "numComponents" );
static_assert( offsetof( RefRtImage, planar ) == 23, "planar" );
static_assert( offsetof( RefRtImage, gpuMem ) == 24, "gpuMem" );
static_assert( offsetof( RefRtImage, colorspace ) == 25, "colorspace" );
static_assert( offsetof( RefRtImage, reserved ) == 26, "reserved" );
static_assert( offsetof( RefRtImage, pixels ) == 32, "pixels" );
static_assert( offsetof( RefRtImage, deletePtr ) == 40, "deletePtr" );
static_assert( offsetof( RefRtImage, deleteProc ) == 48, "deleteProc" );
static_assert( offsetof( RefRtImage, bufferBytes ) == 56, "bufferBytes" );

namespace refrt
{
// Components of a pixel format (0 for unknown or out-of-range values).
inline unsigned ComponentsOf( int32_t format )
{
	switch( format )
	{
	case NVCV_Y:
	case NVCV_A:
		return 1;
	case NVCV_YA:
		return 2;
	case NVCV_RGB:
	case NVCV_BGR:
		return 3;
	case NVCV_RGBA:
	case NVCV_BGRA:
		return 4;
	default:
		return 0;
	}
}

// Bytes of one component (0 for unknown or out-of-range values).
inline unsigned ComponentBytesOf( int32_t type )
{
	switch( type )
	{
	case NVCV_U8:
		return 1;
	case NVCV_U16:
	case NVCV_S16:
	case NVCV_F16:
		return 2;
	case NVCV_U32:
	case NVCV_S32:
	case NVCV_F32:
		return 4;
	default:
		return 0;
	}
}

// Start of row y; the pitch may be negative (rows stored bottom-up).
inline uint8_t* RowOf( const RefRtImage& image, int64_t y )
{
	return static_cast< uint8_t* >( image.pixels ) + y * static_cast< int64_t >( image.pitch );
}

// 8-bit chunky: the only images the transfers and the keyer read and write.
inline bool IsChunkyU8( const RefRtImage& image )
{
	return image.componentType == NVCV_U8 && image.planar == NVCV_CHUNKY;
}
}
