#pragma once
// A picture in host memory: 8-bit RGBA, rows top first, no gap between rows. Whether its colour is
// premultiplied is the holder's business: files are straight, GL textures premultiplied.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ffglhost
{
struct Picture
{
	int width  = 0;
	int height = 0;
	std::vector< uint8_t > rgba;
};

// Sizes the pixel storage for w x h (keeping its capacity when it shrinks).
void ResizePicture( Picture& picture, int w, int h );

inline uint8_t* PixelAt( Picture& picture, int x, int y )
{
	return picture.rgba.data() + ( static_cast< size_t >( y ) * picture.width + x ) * 4;
}
inline const uint8_t* PixelAt( const Picture& picture, int x, int y )
{
	return picture.rgba.data() + ( static_cast< size_t >( y ) * picture.width + x ) * 4;
}

// Straight to premultiplied colour and back, rounding to nearest. A pixel of alpha 0 comes back
// as transparent black.
void Premultiply( Picture& picture );
void Unpremultiply( Picture& picture );

// The pixels at which two pictures of one size differ by more than tolerance in some channel (all of
// them when the sizes differ).
size_t CountChangedPixels( const Picture& a, const Picture& b, unsigned tolerance );
}
