#include "host/check/picture_compare.h"

#include "host/core/texts.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace ffglhost
{
PictureDifference ComparePictures( const Picture& a, const Picture& b )
{
	PictureDifference difference;
	if( a.width != b.width || a.height != b.height )
	{
		difference.sizeDiffers = true;
		difference.maxStep     = 255;
		return difference;
	}
	for( int y = 0; y < a.height; ++y )
		for( int x = 0; x < a.width; ++x )
		{
			const uint8_t* p = PixelAt( a, x, y );
			const uint8_t* q = PixelAt( b, x, y );
			int step         = 0;
			for( int c = 0; c < 4; ++c )
				step = std::max( step, std::abs( p[ c ] - q[ c ] ) );
			difference.maxStep = std::max( difference.maxStep, step );
			if( step > 1 && difference.pixels++ == 0 )
			{
				difference.x = x;
				difference.y = y;
			}
		}
	return difference;
}

std::string DescribeDifference( const PictureDifference& difference )
{
	if( difference.sizeDiffers )
		return "pictures of different sizes";
	char text[ 160 ];
	std::snprintf( text, sizeof( text ), "up to %d steps in %zu pixels, first at %s", difference.maxStep,
	               difference.pixels, PositionText( difference.x, difference.y ).c_str() );
	return text;
}
}
