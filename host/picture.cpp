#include "host/picture.h"

namespace ffglhost
{
void ResizePicture( Picture& picture, int w, int h )
{
	picture.width  = w;
	picture.height = h;
	picture.rgba.resize( static_cast< size_t >( w ) * static_cast< size_t >( h ) * 4 );
}

void Premultiply( Picture& picture )
{
	uint8_t* p      = picture.rgba.data();
	const size_t n  = picture.rgba.size() / 4;
	for( size_t i = 0; i < n; ++i, p += 4 )
	{
		const unsigned a = p[ 3 ];
		if( a == 255 )
			continue;
		for( int c = 0; c < 3; ++c )
			p[ c ] = static_cast< uint8_t >( ( p[ c ] * a + 127 ) / 255 );
	}
}

void Unpremultiply( Picture& picture )
{
	uint8_t* p      = picture.rgba.data();
	const size_t n  = picture.rgba.size() / 4;
	for( size_t i = 0; i < n; ++i, p += 4 )
	{
		const unsigned a = p[ 3 ];
		if( a == 255 )
			continue;
		if( a == 0 )
		{
			p[ 0 ] = p[ 1 ] = p[ 2 ] = 0;
			continue;
		}
		// A colour above its alpha is not premultiplied colour; clamp rather than wrap.
		for( int c = 0; c < 3; ++c )
		{
			unsigned v = ( p[ c ] * 255u + a / 2 ) / a;
			p[ c ]     = static_cast< uint8_t >( v > 255 ? 255 : v );
		}
	}
}
}
