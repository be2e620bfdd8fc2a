// Transfer and TransferRect: channel orders, pitches, rectangles, and what is refused.
#include "tests/runtime/runtime_library.h"

#include <algorithm>
#include <string>
#include <vector>

class ImageTransfer : public RuntimeTest
{
protected:
	// Describes memory of w x h pixels of the format, rows pitch bytes apart (bottom-up when negative).
	RefRtImage Wrap( std::vector< uint8_t >& memory, unsigned w, unsigned h, int pitch, NvCVImage_PixelFormat format )
	{
		RefRtImage image = EmptyImage();
		uint8_t* row0    = memory.data() + ( pitch < 0 ? size_t( -pitch ) * ( h - 1 ) : 0 );
		EXPECT_EQ( NVCV_SUCCESS, rt->Init( &image, w, h, pitch, row0, format, NVCV_U8, NVCV_CHUNKY, NVCV_CPU ) );
		return image;
	}
};

TEST_F( ImageTransfer, ConvertsBetweenChannelOrders )
{
	struct Case
	{
		NvCVImage_PixelFormat from, to;
		std::vector< uint8_t > expected; // of the source pixel 10, 20, 30, 40 (as many as it has)
	} cases[] = {
		{ NVCV_RGBA, NVCV_BGRA, { 30, 20, 10, 40 } },
		{ NVCV_RGBA, NVCV_BGR, { 30, 20, 10 } },
		{ NVCV_RGBA, NVCV_RGB, { 10, 20, 30 } },
		{ NVCV_BGRA, NVCV_RGB, { 30, 20, 10 } },
		{ NVCV_BGR, NVCV_RGBA, { 30, 20, 10, 255 } },
		{ NVCV_RGB, NVCV_BGRA, { 30, 20, 10, 255 } },
		{ NVCV_RGB, NVCV_BGR, { 30, 20, 10 } },
		{ NVCV_RGBA, NVCV_RGBA, { 10, 20, 30, 40 } },
		{ NVCV_A, NVCV_Y, { 10 } },
		{ NVCV_Y, NVCV_A, { 10 } },
	};
	for( const Case& c : cases )
	{
		static const uint8_t pixel[ 4 ] = { 10, 20, 30, 40 };
		const size_t fromBytes = refrt::ComponentsOf( c.from ), toBytes = c.expected.size();
		std::vector< uint8_t > source, destination( 3 * toBytes, 0 );
		for( int i = 0; i < 3; ++i )
			source.insert( source.end(), pixel, pixel + fromBytes );
		RefRtImage from = Wrap( source, 3, 1, int( 3 * fromBytes ), c.from );
		RefRtImage to   = Wrap( destination, 3, 1, int( 3 * toBytes ), c.to );
		ASSERT_EQ( NVCV_SUCCESS, rt->Transfer( &from, &to, 1.f, nullptr, nullptr ) ) << c.from << " to " << c.to;
		for( int i = 0; i < 3; ++i )
			EXPECT_EQ( c.expected,
			           std::vector< uint8_t >( &destination[ i * toBytes ], &destination[ ( i + 1 ) * toBytes ] ) )
			    << c.from << " to " << c.to;
	}
}

TEST_F( ImageTransfer, ReordersInPlace )
{
	std::vector< uint8_t > memory = { 1, 2, 3, 4, 5, 6, 7, 8 };
	RefRtImage rgba               = Wrap( memory, 2, 1, 8, NVCV_RGBA );
	RefRtImage bgra               = Wrap( memory, 2, 1, 8, NVCV_BGRA );
	ASSERT_EQ( NVCV_SUCCESS, rt->Transfer( &rgba, &bgra, 1.f, nullptr, nullptr ) );
	EXPECT_EQ( std::vector< uint8_t >( { 3, 2, 1, 4, 7, 6, 5, 8 } ), memory );
}

TEST_F( ImageTransfer, RefusesOtherFormatsSizesAndMissingStorage )
{
	std::vector< uint8_t > a( 64 ), b( 64 );
	RefRtImage rgb = Wrap( a, 2, 2, 6, NVCV_RGB ), alpha = Wrap( b, 2, 2, 2, NVCV_A );
	RefRtImage ya = Wrap( b, 2, 2, 4, NVCV_YA );
	EXPECT_EQ( NVCV_ERR_PIXELFORMAT, rt->Transfer( &rgb, &alpha, 1.f, nullptr, nullptr ) );
	EXPECT_EQ( NVCV_ERR_PIXELFORMAT, rt->Transfer( &alpha, &rgb, 1.f, nullptr, nullptr ) );
	EXPECT_EQ( NVCV_ERR_PIXELFORMAT, rt->Transfer( &ya, &ya, 1.f, nullptr, nullptr ) );
	RefRtImage wide = EmptyImage();
	ASSERT_EQ( NVCV_SUCCESS, rt->Init( &wide, 2, 2, 12, b.data(), NVCV_RGB, NVCV_U16, 0, NVCV_CPU ) );
	EXPECT_EQ( NVCV_ERR_PIXELFORMAT, rt->Transfer( &wide, &rgb, 1.f, nullptr, nullptr ) );

	RefRtImage small = Wrap( b, 2, 1, 6, NVCV_BGR );
	EXPECT_EQ( NVCV_ERR_MISMATCH, rt->Transfer( &rgb, &small, 1.f, nullptr, nullptr ) );
	RefRtImage noStorage = EmptyImage();
	ASSERT_EQ( NVCV_SUCCESS, rt->Init( &noStorage, 2, 2, 6, nullptr, NVCV_BGR, NVCV_U8, 0, NVCV_GPU ) );
	EXPECT_EQ( NVCV_ERR_BUFFER, rt->Transfer( &rgb, &noStorage, 1.f, nullptr, nullptr ) );
	EXPECT_EQ( NVCV_ERR_BUFFER, rt->Transfer( &noStorage, &rgb, 1.f, nullptr, nullptr ) );
	EXPECT_EQ( NVCV_ERR_BUFFER, rt->TransferRect( &rgb, nullptr, &noStorage, nullptr, 1.f, nullptr, nullptr ) );
	EXPECT_EQ( NVCV_ERR_PARAMETER, rt->Transfer( nullptr, &rgb, 1.f, nullptr, nullptr ) );
	EXPECT_EQ( NVCV_ERR_PARAMETER, rt->TransferRect( &rgb, nullptr, nullptr, nullptr, 1.f, nullptr, nullptr ) );
	EXPECT_EQ( std::vector< uint8_t >( 64 ), a );
}

TEST_F( ImageTransfer, HonoursPitchesNegativeAndPadded )
{
	// Source stored bottom-up, rows of 2 RGB pixels padded to 8 bytes.
	std::vector< uint8_t > source = { 5, 5, 5, 6, 6, 6, 0, 0,   // row 1 (stored first)
		                              1, 1, 1, 2, 2, 2, 0, 0 }; // row 0
	RefRtImage from               = Wrap( source, 2, 2, -8, NVCV_RGB );
	std::vector< uint8_t > destination( 2 * 12, 99 );
	RefRtImage to = Wrap( destination, 2, 2, 12, NVCV_RGBA );
	ASSERT_EQ( NVCV_SUCCESS, rt->Transfer( &from, &to, 1.f, nullptr, nullptr ) );
	EXPECT_EQ( std::vector< uint8_t >(
	               { 1, 1, 1, 255, 2, 2, 2, 255, 99, 99, 99, 99, 5, 5, 5, 255, 6, 6, 6, 255, 99, 99, 99, 99 } ),
	           destination );

	// Negative destination pitch: row 0 lands in the last stored row.
	std::vector< uint8_t > flipped( 4 );
	RefRtImage matte            = Wrap( flipped, 2, 2, -2, NVCV_A );
	std::vector< uint8_t > rows = { 1, 2, 3, 4 };
	RefRtImage plain            = Wrap( rows, 2, 2, 2, NVCV_A );
	ASSERT_EQ( NVCV_SUCCESS, rt->Transfer( &plain, &matte, 1.f, nullptr, nullptr ) );
	EXPECT_EQ( std::vector< uint8_t >( { 3, 4, 1, 2 } ), flipped );
}

TEST_F( ImageTransfer, TransferRectCopiesAClippedRectangle )
{
	std::vector< uint8_t > source( 16 );
	for( int i = 0; i < 16; ++i )
		source[ i ] = uint8_t( i + 1 );
	RefRtImage from = Wrap( source, 4, 4, 4, NVCV_A );
	std::vector< uint8_t > destination( 16, 0 );
	RefRtImage to = Wrap( destination, 4, 4, 4, NVCV_Y );

	NvCVRect2i rect   = { 1, 1, 2, 2 };
	NvCVPoint2i point = { 2, 0 };
	ASSERT_EQ( NVCV_SUCCESS, rt->TransferRect( &from, &rect, &to, &point, 1.f, nullptr, nullptr ) );
	EXPECT_EQ( std::vector< uint8_t >( { 0, 0, 6, 7, 0, 0, 10, 11, 0, 0, 0, 0, 0, 0, 0, 0 } ), destination );

	// Reaching past both images: only the part inside both is copied.
	std::fill( destination.begin(), destination.end(), 0 );
	rect  = { -1, 2, 4, 4 };
	point = { 2, 3 };
	ASSERT_EQ( NVCV_SUCCESS, rt->TransferRect( &from, &rect, &to, &point, 1.f, nullptr, nullptr ) );
	EXPECT_EQ( std::vector< uint8_t >( { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9 } ), destination );

	// No rectangle and no point: the whole source at 0,0.
	ASSERT_EQ( NVCV_SUCCESS, rt->TransferRect( &from, nullptr, &to, nullptr, 1.f, nullptr, nullptr ) );
	EXPECT_EQ( source, destination );
	rect = { 0, 0, -1, 2 };
	EXPECT_EQ( NVCV_ERR_PARAMETER, rt->TransferRect( &from, &rect, &to, nullptr, 1.f, nullptr, nullptr ) );
}

TEST_F( ImageTransfer, EveryStatusHasItsOwnText )
{
	std::vector< std::string > seen;
	for( NvCV_Status status : { 0, -1, -3, -5, -6, -7, -8, -9, -10, -11 } )
		seen.push_back( rt->ErrorString( status ) );
	std::sort( seen.begin(), seen.end() );
	EXPECT_EQ( seen.end(), std::unique( seen.begin(), seen.end() ) );
	EXPECT_EQ( seen.end(), std::find( seen.begin(), seen.end(), "unknown error" ) );
	EXPECT_STREQ( "unknown error", rt->ErrorString( -2 ) );
	EXPECT_STREQ( "unknown error", rt->ErrorString( 12345 ) );
}
