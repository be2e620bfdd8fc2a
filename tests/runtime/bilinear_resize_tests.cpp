// The two resizes against values worked out by hand: half-pixel centres, clamped edges, the BGR
// source read into R, G, B planes, and the matte rounded and clamped. (Through the network a
// convention applied both ways cancels out, so it is checked here.)
#include "runtime/bilinear_resize.h"

#include <gtest/gtest.h>

static RefRtImage Describe( void* pixels, uint32_t width, uint32_t height, int32_t pitch )
{
	RefRtImage image = {};
	image.width      = width;
	image.height     = height;
	image.pitch      = pitch;
	image.pixels     = pixels;
	return image;
}

TEST( BilinearResize, FourBgrPixelsToTwoPlaneSamples )
{
	// One row of four pixels (B, G, R); the two samples sit at source x 0.5 and 2.5.
	uint8_t row[ 12 ]       = { 0, 10, 0, 0, 10, 102, 255, 10, 204, 255, 10, 255 };
	const RefRtImage source = Describe( row, 4, 1, 12 );
	refrt::ResizeAxis columns, rows;
	ASSERT_TRUE( refrt::MakeResizeAxis( 4, 2, 3, columns ) );
	ASSERT_TRUE( refrt::MakeResizeAxis( 1, 1, 1, rows ) );
	float planes[ 6 ];
	refrt::ResizeToPlanes( source, columns, rows, planes );
	const float expected[ 6 ] = { 51 / 255.f, 229.5f / 255.f, 10 / 255.f, 10 / 255.f, 0.f, 1.f }; // R, G, B
	for( int i = 0; i < 6; ++i )
		EXPECT_NEAR( expected[ i ], planes[ i ], 1e-6 ) << i;
}

// A map of two samples resized to a matte along one side: matte sample 0..3 of that side reads the map
// at -0.25 (clamped to 0), 0.25, 0.75, 1.25 (clamped to 1); the other side, of one map sample, repeats
// it. Out-of-range and NaN values clamp. 17 columns: 16 bytes blended at once, the last alone.
struct MatteCase
{
	const char* what;
	float map[ 2 ];
	uint32_t mapWidth, mapHeight, width, height;
	uint8_t along[ 4 ];
};
static const MatteCase kMatteCases[] = {
	{ "across", { 0.2f, 0.6f }, 2, 1, 4, 2, { 51, 77, 128, 153 } },
	{ "down", { 0.2f, 0.6f }, 1, 2, 17, 4, { 51, 77, 128, 153 } },
	{ "clamped", { -3.0f, __builtin_nanf( "" ) }, 2, 1, 4, 2, { 0, 0, 0, 0 } },
};

TEST( BilinearResize, TwoMapSamplesToAMatteEachWay )
{
	for( const MatteCase& c : kMatteCases )
	{
		SCOPED_TRACE( c.what );
		uint8_t bytes[ 4 * 32 ] = {};
		RefRtImage matte        = Describe( bytes, c.width, c.height, 32 );
		refrt::ResizeAxis columns, rows;
		ASSERT_TRUE( refrt::MakeResizeAxis( c.mapWidth, c.width, 1, columns ) );
		ASSERT_TRUE( refrt::MakeResizeAxis( c.mapHeight, c.height, 1, rows ) );
		float spread[ 2 * 17 ];
		refrt::ResizeToMatte( c.map, c.mapWidth, c.mapHeight, columns, rows, spread, matte );
		for( uint32_t y = 0; y < c.height; ++y )
			for( uint32_t x = 0; x < c.width; ++x )
				EXPECT_EQ( int( c.along[ c.mapWidth > 1 ? x : y ] ), int( bytes[ y * 32 + x ] ) ) << x << "," << y;
	}
}
