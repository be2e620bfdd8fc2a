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

TEST( BilinearResize, TwoMapSamplesToAFourByteMatte )
{
	// Matte x 0..3 reads the map at -0.25 (clamped to 0), 0.25, 0.75, 1.25 (clamped to 1); the second
	// row, beyond the one-row map, repeats it; out-of-range and NaN values clamp.
	const float map[ 2 ]  = { 0.2f, 0.6f };
	const float wild[ 2 ] = { -3.0f, __builtin_nanf( "" ) };
	for( const float* in : { map, wild } )
	{
		uint8_t bytes[ 16 ] = {};
		RefRtImage matte    = Describe( bytes, 4, 2, 8 );
		refrt::ResizeAxis columns, rows;
		ASSERT_TRUE( refrt::MakeResizeAxis( 2, 4, 1, columns ) );
		ASSERT_TRUE( refrt::MakeResizeAxis( 1, 2, 1, rows ) );
		float spread[ 4 ];
		refrt::ResizeToMatte( in, 2, 1, columns, rows, spread, matte );
		const uint8_t expected[ 2 ][ 4 ] = { { 51, 77, 128, 153 }, { 0, 0, 0, 0 } };
		const uint8_t* want              = expected[ in == map ? 0 : 1 ];
		for( int y = 0; y < 2; ++y )
			for( int x = 0; x < 4; ++x )
				EXPECT_EQ( want[ x ], bytes[ y * 8 + x ] ) << x << "," << y;
	}
}
