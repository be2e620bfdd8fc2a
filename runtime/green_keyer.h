#pragma once
// The GreenScreen effect's matte: opaque where a pixel is not green, clear where it is clearly green.
#include "runtime/refrt_image.h"

#include <cstdint>

namespace refrt
{
// Matte value of one pixel: d = G - max(R, B); 255 where d <= 16, 0 where d >= 80, linear between.
inline uint8_t KeyValue( int red, int green, int blue )
{
	int d = green - ( red > blue ? red : blue );
	if( d <= 16 )
		return 255;
	if( d >= 80 )
		return 0;
	return static_cast< uint8_t >( ( 80 - d ) * 255 / 64 );
}

// Writes the matte of a BGR U8 source into an A U8 destination of the same size; with
// fixedValue in 0..255 every matte byte takes it instead.
void KeyGreen( const RefRtImage& source, RefRtImage& matte, int fixedValue );
}
