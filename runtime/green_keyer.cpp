#include "runtime/green_keyer.h"

#include <cstring>

namespace refrt
{
// The matte value of one pixel, by the rule KeyGreen states.
static uint8_t KeyValue( int red, int green, int blue )
{
	int d = green - ( red > blue ? red : blue );
	if( d <= 16 )
		return 255;
	if( d >= 80 )
		return 0;
	return static_cast< uint8_t >( ( 80 - d ) * 255 / 64 );
}

void KeyGreen( const RefRtImage& source, RefRtImage& matte, int fixedValue )
{
	for( uint32_t y = 0; y < matte.height; ++y )
	{
		uint8_t* out = RowOf( matte, y );
		if( fixedValue >= 0 )
		{
			std::memset( out, fixedValue, matte.width );
			continue;
		}
		const uint8_t* in = RowOf( source, y );
		for( uint32_t x = 0; x < matte.width; ++x, in += 3 )
			out[ x ] = KeyValue( in[ 2 ], in[ 1 ], in[ 0 ] );
	}
}
}
