#include "runtime/green_keyer.h"

#include <cstring>

namespace refrt
{
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
