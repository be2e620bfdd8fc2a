// Copying and converting 8-bit images: NvCVImage_Transfer and NvCVImage_TransferRect.
#include "runtime/call_log.h"
#include "runtime/refrt_export.h"
#include "runtime/refrt_image.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace refrt
{
namespace
{
enum Channel
{
	kRed,
	kGreen,
	kBlue,
	kAlpha,
	kSingle
};

// The channels of a format in memory order; the count is 0 for formats we do not convert.
int ChannelsOf( int32_t format, const Channel** channels )
{
	static const Channel kOneChannel[] = { kSingle };
	static const Channel kRgbaOrder[]  = { kRed, kGreen, kBlue, kAlpha };
	static const Channel kBgraOrder[]  = { kBlue, kGreen, kRed, kAlpha };
	switch( format )
	{
	case NVCV_Y:
	case NVCV_A:
		*channels = kOneChannel;
		break;
	case NVCV_RGB:
	case NVCV_RGBA:
		*channels = kRgbaOrder;
		break;
	case NVCV_BGR:
	case NVCV_BGRA:
		*channels = kBgraOrder;
		break;
	default:
		return 0;
	}
	return static_cast< int >( refrt::ComponentsOf( format ) );
}

// For each destination byte of a pixel, the source byte it takes (-1: alpha the source lacks, 255).
struct ChannelMap
{
	int source[ 4 ];
	int count;
	bool identity;
};

bool MakeChannelMap( int32_t sourceFormat, int32_t destinationFormat, ChannelMap& map )
{
	const Channel *from = nullptr, *to = nullptr;
	int fromCount = ChannelsOf( sourceFormat, &from );
	int toCount   = ChannelsOf( destinationFormat, &to );
	// One channel to one channel, or colour to colour; grey and colour do not mix.
	if( fromCount == 0 || toCount == 0 || ( fromCount == 1 ) != ( toCount == 1 ) )
		return false;
	map.count    = toCount;
	map.identity = fromCount == toCount;
	for( int c = 0; c < toCount; ++c )
	{
		map.source[ c ] = -1;
		for( int s = 0; s < fromCount; ++s )
			if( from[ s ] == to[ c ] )
				map.source[ c ] = s;
		if( map.source[ c ] != c )
			map.identity = false;
	}
	return true;
}

void ConvertRow( const uint8_t* source, int sourceBytes, uint8_t* destination, const ChannelMap& map, int64_t pixels )
{
	if( map.identity )
	{
		std::memmove( destination, source, static_cast< size_t >( pixels * map.count ) );
		return;
	}
	for( int64_t i = 0; i < pixels; ++i )
	{
		// Whole pixel first: source and destination may be the same bytes.
		uint8_t pixel[ 4 ];
		std::memcpy( pixel, source, static_cast< size_t >( sourceBytes ) );
		for( int c = 0; c < map.count; ++c )
			destination[ c ] = map.source[ c ] < 0 ? 255 : pixel[ map.source[ c ] ];
		source += sourceBytes;
		destination += map.count;
	}
}

// Checks shared by both transfers: records first, then formats.
NvCV_Status CheckFormats( const RefRtImage* source, const RefRtImage* destination, ChannelMap& map )
{
	if( !source || !destination )
		return NVCV_ERR_PARAMETER;
	if( !refrt::IsChunkyU8( *source ) || !refrt::IsChunkyU8( *destination ) ||
	    !MakeChannelMap( source->pixelFormat, destination->pixelFormat, map ) )
		return NVCV_ERR_PIXELFORMAT;
	return NVCV_SUCCESS;
}

void CopyRect( const RefRtImage& source, int64_t x, int64_t y, RefRtImage& destination, int64_t dx, int64_t dy,
               int64_t width, int64_t height, const ChannelMap& map )
{
	int sourceBytes = static_cast< int >( refrt::ComponentsOf( source.pixelFormat ) );
	for( int64_t row = 0; row < height; ++row )
	{
		const uint8_t* from = refrt::RowOf( source, y + row ) + x * sourceBytes;
		uint8_t* to         = refrt::RowOf( destination, dy + row ) + dx * map.count;
		ConvertRow( from, sourceBytes, to, map, width );
	}
}

// Scale, stream and temporary image are accepted and unused: 8-bit to 8-bit, done at once.
NvCV_Status Transfer( const RefRtImage* source, RefRtImage* destination, float, CUstream_st*, RefRtImage* )
{
	ChannelMap map;
	NvCV_Status status = CheckFormats( source, destination, map );
	if( status != NVCV_SUCCESS )
		return status;
	if( source->width != destination->width || source->height != destination->height )
		return NVCV_ERR_MISMATCH;
	if( !source->pixels || !destination->pixels )
		return NVCV_ERR_BUFFER;
	CopyRect( *source, 0, 0, *destination, 0, 0, source->width, source->height, map );
	return NVCV_SUCCESS;
}

NvCV_Status TransferRect( const RefRtImage* source, const NvCVRect2i* rect, RefRtImage* destination,
                          const NvCVPoint2i* point, float, CUstream_st*, RefRtImage* )
{
	ChannelMap map;
	NvCV_Status status = CheckFormats( source, destination, map );
	if( status != NVCV_SUCCESS )
		return status;
	if( !source->pixels || !destination->pixels )
		return NVCV_ERR_BUFFER;
	int64_t x = 0, y = 0, width = source->width, height = source->height;
	if( rect )
	{
		if( rect->width < 0 || rect->height < 0 )
			return NVCV_ERR_PARAMETER;
		x      = rect->x;
		y      = rect->y;
		width  = rect->width;
		height = rect->height;
	}
	int64_t dx = point ? point->x : 0;
	int64_t dy = point ? point->y : 0;
	// Clipped to the source, then to the destination; what is left may be nothing.
	int64_t left = std::max( { static_cast< int64_t >( 0 ), -x, -dx } );
	int64_t top  = std::max( { static_cast< int64_t >( 0 ), -y, -dy } );
	x += left;
	dx += left;
	width -= left;
	y += top;
	dy += top;
	height -= top;
	width = std::min(
	    { width, static_cast< int64_t >( source->width ) - x, static_cast< int64_t >( destination->width ) - dx } );
	height = std::min(
	    { height, static_cast< int64_t >( source->height ) - y, static_cast< int64_t >( destination->height ) - dy } );
	if( width > 0 && height > 0 )
		CopyRect( *source, x, y, *destination, dx, dy, width, height, map );
	return NVCV_SUCCESS;
}
}
}

extern "C"
{
	REFRT_EXPORT NvCV_Status NvCVImage_Transfer( const RefRtImage* source, RefRtImage* destination, float scale,
	                                             CUstream_st* stream, RefRtImage* temporary )
	{
		return refrt::Forward( "NvCVImage_Transfer", refrt::Transfer, source, destination, scale, stream, temporary );
	}

	REFRT_EXPORT NvCV_Status NvCVImage_TransferRect( const RefRtImage* source, const NvCVRect2i* sourceRect,
	                                                 RefRtImage* destination, const NvCVPoint2i* destinationPoint,
	                                                 float scale, CUstream_st* stream, RefRtImage* temporary )
	{
		return refrt::Forward( "NvCVImage_TransferRect", refrt::TransferRect, source, sourceRect, destination,
		                       destinationPoint, scale, stream, temporary );
	}
}
