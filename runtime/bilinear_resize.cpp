#include "runtime/bilinear_resize.h"

#include <new>

#if defined( __SSE2__ ) || defined( _M_X64 )
#define REFRT_RESIZE_SSE2 1
#include <emmintrin.h>
#endif

namespace refrt
{
namespace
{
// Bytes as the network's [0, 1] values: a table read is cheaper than a conversion per sample.
struct ByteScale
{
	float value[ 256 ];
	ByteScale()
	{
		for( int i = 0; i < 256; ++i )
			value[ i ] = static_cast< float >( i ) / 255.0f;
	}
};
const ByteScale kByteScale;

// One matte byte from a probability: clamped to [0, 1] (NaN reads as 0), then rounded.
inline uint8_t MatteByte( float value )
{
	value = value > 0.0f ? value : 0.0f;
	value = value < 1.0f ? value : 1.0f;
	return static_cast< uint8_t >( static_cast< int32_t >( value * 255.0f + 0.5f ) );
}

// Matte row x from two spread rows, the SSE2 way for 16 bytes at a time, the rest one by one.
void BlendRows( const float* upper, const float* lower, float down, uint8_t* out, size_t width )
{
	size_t x = 0;
#if defined( REFRT_RESIZE_SSE2 )
	const __m128 weight = _mm_set1_ps( down ), zero = _mm_setzero_ps(), one = _mm_set1_ps( 1.0f );
	const __m128 scale = _mm_set1_ps( 255.0f ), half = _mm_set1_ps( 0.5f );
	for( ; x + 16 <= width; x += 16 )
	{
		__m128i words[ 2 ];
		for( int h = 0; h < 2; ++h )
		{
			__m128i quads[ 2 ];
			for( int q = 0; q < 2; ++q )
			{
				const size_t at = x + static_cast< size_t >( h * 8 + q * 4 );
				const __m128 a  = _mm_loadu_ps( upper + at );
				__m128 v        = _mm_add_ps( a, _mm_mul_ps( _mm_sub_ps( _mm_loadu_ps( lower + at ), a ), weight ) );
				// max(v, 0) answers 0 for NaN: the second operand wins when either is NaN.
				v          = _mm_min_ps( _mm_max_ps( v, zero ), one );
				quads[ q ] = _mm_cvttps_epi32( _mm_add_ps( _mm_mul_ps( v, scale ), half ) );
			}
			words[ h ] = _mm_packs_epi32( quads[ 0 ], quads[ 1 ] );
		}
		_mm_storeu_si128( reinterpret_cast< __m128i* >( out + x ), _mm_packus_epi16( words[ 0 ], words[ 1 ] ) );
	}
#endif
	for( ; x < width; ++x )
		out[ x ] = MatteByte( upper[ x ] + ( lower[ x ] - upper[ x ] ) * down );
}
}

bool MakeResizeAxis( uint32_t sourceSize, uint32_t destinationSize, int32_t step, ResizeAxis& axis )
{
	axis.size = 0;
	axis.first.reset( new( std::nothrow ) int32_t[ destinationSize ] );
	axis.second.reset( new( std::nothrow ) int32_t[ destinationSize ] );
	axis.weight.reset( new( std::nothrow ) float[ destinationSize ] );
	if( !axis.first || !axis.second || !axis.weight )
		return false;
	const double scale = static_cast< double >( sourceSize ) / static_cast< double >( destinationSize );
	const int32_t last = static_cast< int32_t >( sourceSize ) - 1;
	for( uint32_t d = 0; d < destinationSize; ++d )
	{
		double at            = ( d + 0.5 ) * scale - 0.5;
		at                   = at < 0 ? 0 : at > last ? last : at;
		const int32_t first  = static_cast< int32_t >( at );
		const int32_t second = first < last ? first + 1 : last;
		axis.first[ d ]      = first * step;
		axis.second[ d ]     = second * step;
		axis.weight[ d ]     = static_cast< float >( at - first );
	}
	axis.size = destinationSize;
	return true;
}

void ResizeToPlanes( const RefRtImage& source, const ResizeAxis& columns, const ResizeAxis& rows, float* planes )
{
	const size_t width = columns.size, height = rows.size, plane = width * height;
	const float* scaled = kByteScale.value;
	for( size_t y = 0; y < height; ++y )
	{
		const uint8_t* top    = RowOf( source, rows.first[ y ] );
		const uint8_t* bottom = RowOf( source, rows.second[ y ] );
		const float down      = rows.weight[ y ];
		float* red            = planes + y * width;
		float* green          = red + plane;
		float* blue           = green + plane;
		for( size_t x = 0; x < width; ++x )
		{
			const uint8_t* a   = top + columns.first[ x ];
			const uint8_t* b   = top + columns.second[ x ];
			const uint8_t* c   = bottom + columns.first[ x ];
			const uint8_t* d   = bottom + columns.second[ x ];
			const float across = columns.weight[ x ];
			float value[ 3 ];
			for( int k = 0; k < 3; ++k )
			{
				const float upper = scaled[ a[ k ] ] + ( scaled[ b[ k ] ] - scaled[ a[ k ] ] ) * across;
				const float lower = scaled[ c[ k ] ] + ( scaled[ d[ k ] ] - scaled[ c[ k ] ] ) * across;
				value[ k ]        = upper + ( lower - upper ) * down;
			}
			blue[ x ]  = value[ 0 ];
			green[ x ] = value[ 1 ];
			red[ x ]   = value[ 2 ];
		}
	}
}

void ResizeToMatte( const float* map, uint32_t mapWidth, uint32_t mapHeight, const ResizeAxis& columns,
                    const ResizeAxis& rows, float* spread, RefRtImage& matte )
{
	const size_t width = columns.size;
	// Across first: each map row spread to the matte's width, once per frame.
	for( uint32_t y = 0; y < mapHeight; ++y )
	{
		const float* in = map + static_cast< size_t >( y ) * mapWidth;
		float* out      = spread + static_cast< size_t >( y ) * width;
		for( size_t x = 0; x < width; ++x )
		{
			const float a = in[ columns.first[ x ] ];
			out[ x ]      = a + ( in[ columns.second[ x ] ] - a ) * columns.weight[ x ];
		}
	}
	// Then down, two spread rows per matte row.
	for( size_t y = 0; y < rows.size; ++y )
		BlendRows( spread + static_cast< size_t >( rows.first[ y ] ) * width,
		           spread + static_cast< size_t >( rows.second[ y ] ) * width, rows.weight[ y ],
		           RowOf( matte, static_cast< int64_t >( y ) ), width );
}
}
