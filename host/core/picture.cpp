#include "host/core/picture.h"

#include <algorithm>

namespace ffglhost
{
void ResizePicture( Picture& picture, int w, int h )
{
	picture.width  = w;
	picture.height = h;
	picture.rgba.resize( static_cast< size_t >( w ) * static_cast< size_t >( h ) * 4 );
}

// Applies convert( colour channel, alpha ) to the three colours of every pixel that is not opaque.
template< typename Convert >
static void ConvertTranslucent( Picture& picture, Convert convert )
{
	uint8_t* p     = picture.rgba.data();
	const size_t n = picture.rgba.size() / 4;
	for( size_t i = 0; i < n; ++i, p += 4 )
	{
		const unsigned a = p[ 3 ];
		if( a == 255 )
			continue;
		for( int c = 0; c < 3; ++c )
			p[ c ] = convert( p[ c ], a );
	}
}

void Premultiply( Picture& picture )
{
	ConvertTranslucent( picture,
	                    []( unsigned v, unsigned a ) { return static_cast< uint8_t >( ( v * a + 127 ) / 255 ); } );
}

void Unpremultiply( Picture& picture )
{
	ConvertTranslucent( picture, []( unsigned v, unsigned a ) {
		if( a == 0 )
			return static_cast< uint8_t >( 0 );
		// A colour above its alpha is not premultiplied colour; clamp rather than wrap.
		const unsigned straight = ( v * 255u + a / 2 ) / a;
		return static_cast< uint8_t >( straight > 255 ? 255 : straight );
	} );
}

size_t CountChangedPixels( const Picture& a, const Picture& b, unsigned tolerance )
{
	// Pictures of different sizes have no pixel in common.
	if( a.width != b.width || a.height != b.height || a.rgba.size() != b.rgba.size() )
		return std::max( a.rgba.size(), b.rgba.size() ) / 4;
	const uint8_t* p = a.rgba.data();
	const uint8_t* q = b.rgba.data();
	const size_t n   = a.rgba.size() / 4;
	size_t changed   = 0;
	for( size_t i = 0; i < n; ++i, p += 4, q += 4 )
	{
		// Byte arithmetic without branches, which the compiler turns into vector code.
		uint8_t most = 0;
		for( int c = 0; c < 4; ++c )
		{
			const uint8_t d = static_cast< uint8_t >( p[ c ] > q[ c ] ? p[ c ] - q[ c ] : q[ c ] - p[ c ] );
			most            = most > d ? most : d;
		}
		changed += most > tolerance ? 1 : 0;
	}
	return changed;
}
}
