#include "runtime/bilinear_resize.h"

#include <new>

namespace refrt
{
bool MakeResizeAxis( uint32_t sourceSize, uint32_t destinationSize, int32_t step, ResizeAxis& axis )
{
	axis.size = 0;
	axis.first.reset( new( std::nothrow ) int32_t[ destinationSize ] );
	axis.second.reset( new( std::nothrow ) int32_t[ destinationSize ] );
	axis.weight.reset( new( std::nothrow ) float[ destinationSize ] );
	if( !axis.first || !axis.second || !axis.weight )
		return false;
	const double scale = double( sourceSize ) / double( destinationSize );
	const int32_t last = int32_t( sourceSize ) - 1;
	for( uint32_t d = 0; d < destinationSize; ++d )
	{
		double at = ( d + 0.5 ) * scale - 0.5;
		at        = at < 0 ? 0 : at > last ? last : at;
		const int32_t first = int32_t( at );
		const int32_t second = first < last ? first + 1 : last;
		axis.first[ d ]  = first * step;
		axis.second[ d ] = second * step;
		axis.weight[ d ] = float( at - first );
	}
	axis.size = destinationSize;
	return true;
}

void ResizeToPlanes( const RefRtImage& source, const ResizeAxis& columns, const ResizeAxis& rows, float* planes )
{
	const size_t width = columns.size, height = rows.size, plane = width * height;
	const float kScale = 1.0f / 255.0f;
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
			const int32_t a = columns.first[ x ], b = columns.second[ x ];
			const float across = columns.weight[ x ];
			float value[ 3 ];
			for( int c = 0; c < 3; ++c )
			{
				const float upper = top[ a + c ] + ( top[ b + c ] - top[ a + c ] ) * across;
				const float lower = bottom[ a + c ] + ( bottom[ b + c ] - bottom[ a + c ] ) * across;
				value[ c ]        = ( upper + ( lower - upper ) * down ) * kScale;
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
		const float* in = map + size_t( y ) * mapWidth;
		float* out      = spread + size_t( y ) * width;
		for( size_t x = 0; x < width; ++x )
		{
			const float a = in[ columns.first[ x ] ];
			out[ x ]      = a + ( in[ columns.second[ x ] ] - a ) * columns.weight[ x ];
		}
	}
	// Then down, two spread rows per matte row: contiguous, so the compiler vectorises it.
	for( size_t y = 0; y < rows.size; ++y )
	{
		const float* upper = spread + size_t( rows.first[ y ] ) * width;
		const float* lower = spread + size_t( rows.second[ y ] ) * width;
		const float down   = rows.weight[ y ];
		uint8_t* out       = RowOf( matte, int64_t( y ) );
		for( size_t x = 0; x < width; ++x )
		{
			float value = upper[ x ] + ( lower[ x ] - upper[ x ] ) * down;
			// NaN and values outside [0, 1] clamp; NaN reads as 0.
			value    = value > 0.0f ? value : 0.0f;
			value    = value < 1.0f ? value : 1.0f;
			out[ x ] = uint8_t( int32_t( value * 255.0f + 0.5f ) );
		}
	}
}
}
