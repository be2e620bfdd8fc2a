// Pictures in host memory, their PNG files and the contact sheet built from them.
#include "host/core/contact_sheet.h"
#include "host/core/picture.h"
#include "host/core/png_io.h"
#include "tests/support/test_process.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace ffglhost;

static Picture Filled( int w, int h, uint8_t r, uint8_t g, uint8_t b, uint8_t a )
{
	Picture p;
	ResizePicture( p, w, h );
	for( int y = 0; y < h; ++y )
		for( int x = 0; x < w; ++x )
		{
			uint8_t* px = PixelAt( p, x, y );
			px[ 0 ] = r, px[ 1 ] = g, px[ 2 ] = b, px[ 3 ] = a;
		}
	return p;
}

static std::vector< int > Rgba( const uint8_t* p )
{
	return { p[ 0 ], p[ 1 ], p[ 2 ], p[ 3 ] };
}

TEST( PictureAlpha, UnpremultiplyRestoresStraightColour )
{
	Picture p;
	ResizePicture( p, 4, 1 );
	const uint8_t pixels[ 16 ] = {
		0,   0,   128, 128, // premultiplied half-transparent blue
		10,  20,  30,  0,   // nothing visible: must become transparent black
		12,  34,  56,  255, // opaque: unchanged
		200, 100, 50,  100, // colour above alpha: clamped, not wrapped
	};
	std::memcpy( p.rgba.data(), pixels, sizeof( pixels ) );
	Unpremultiply( p );
	EXPECT_EQ( Rgba( PixelAt( p, 0, 0 ) ), ( std::vector< int >{ 0, 0, 255, 128 } ) );
	EXPECT_EQ( Rgba( PixelAt( p, 1, 0 ) ), ( std::vector< int >{ 0, 0, 0, 0 } ) );
	EXPECT_EQ( Rgba( PixelAt( p, 2, 0 ) ), ( std::vector< int >{ 12, 34, 56, 255 } ) );
	EXPECT_EQ( Rgba( PixelAt( p, 3, 0 ) ), ( std::vector< int >{ 255, 255, 128, 100 } ) );
}

TEST( PictureAlpha, PremultiplyRoundTripsWithinOneStep )
{
	Picture p;
	ResizePicture( p, 256, 1 );
	for( int x = 0; x < 256; ++x )
	{
		uint8_t* px = PixelAt( p, x, 0 );
		px[ 0 ] = static_cast< uint8_t >( x ), px[ 1 ] = 255, px[ 2 ] = 0, px[ 3 ] = 160;
	}
	Picture q = p;
	Premultiply( q );
	EXPECT_EQ( PixelAt( q, 0, 0 )[ 1 ], 160 );
	Unpremultiply( q );
	for( int x = 0; x < 256; ++x )
	{
		EXPECT_NEAR( PixelAt( q, x, 0 )[ 0 ], x, 1 ) << x;
		EXPECT_EQ( PixelAt( q, x, 0 )[ 1 ], 255 );
		EXPECT_EQ( PixelAt( q, x, 0 )[ 3 ], 160 );
	}
}

TEST( PngFiles, WriteThenReadKeepsEveryPixelAndTheRowOrder )
{
	Picture p               = Filled( 5, 3, 0, 0, 0, 255 );
	PixelAt( p, 0, 0 )[ 0 ] = 255; // top-left red
	PixelAt( p, 4, 2 )[ 2 ] = 255; // bottom-right blue
	PixelAt( p, 2, 1 )[ 3 ] = 7;   // one almost transparent pixel, straight alpha kept
	const std::string path  = JoinPath( ExecutableDirectory(), "host_png_roundtrip.png" );
	std::string error;
	ASSERT_TRUE( WritePng( path, p, PngCompression::kFast, &error ) ) << error;
	Picture q;
	ASSERT_TRUE( ReadPng( path, q, &error ) ) << error;
	EXPECT_EQ( q.width, 5 );
	EXPECT_EQ( q.height, 3 );
	EXPECT_EQ( q.rgba, p.rgba );
	RemoveFile( path );
}

TEST( PngFiles, UnreadableFilesAreRefusedWithTheirName )
{
	const std::string dir     = ExecutableDirectory();
	const std::string text    = JoinPath( dir, "host_not_a_png.png" );
	const std::string missing = JoinPath( dir, "host_no_such_file.png" );
	ASSERT_TRUE( WriteFile( text, "plain text" ) );
	// A real PNG cut short after its header.
	Picture p             = Filled( 64, 64, 1, 2, 3, 255 );
	const std::string cut = JoinPath( dir, "host_cut.png" );
	std::string error;
	ASSERT_TRUE( WritePng( cut, p, PngCompression::kFast, &error ) );
	ASSERT_TRUE( WriteFile( cut, ReadFile( cut ).substr( 0, 60 ) ) );
	for( const std::string& path : { text, missing, cut } )
	{
		Picture q = Filled( 2, 2, 0, 0, 0, 0 );
		error.clear();
		EXPECT_FALSE( ReadPng( path, q, &error ) ) << path;
		EXPECT_NE( error.find( "cannot read PNG" ), std::string::npos ) << error;
		EXPECT_NE( error.find( path ), std::string::npos ) << error;
		EXPECT_EQ( q.width, 0 );
	}
	RemoveFile( text );
	RemoveFile( cut );
}

TEST( ContactSheetLayout, ChoosesEvenlySpacedFramesEndingWithTheLast )
{
	EXPECT_EQ( ContactSheetFrames( 60, 4 ), ( std::vector< int >{ 14, 29, 44, 59 } ) );
	EXPECT_EQ( ContactSheetFrames( 6, 4 ), ( std::vector< int >{ 0, 2, 3, 5 } ) );
	EXPECT_EQ( ContactSheetFrames( 2, 4 ), ( std::vector< int >{ 0, 1 } ) );
	EXPECT_EQ( ContactSheetFrames( 1, 4 ), ( std::vector< int >{ 0 } ) );
	EXPECT_TRUE( ContactSheetFrames( 0, 4 ).empty() );
}

TEST( ContactSheetLayout, TilesShowInputMatteAndCutOutOverTheChecker )
{
	ContactSheet sheet;
	sheet.Plan( 1, 64, 32 );
	ASSERT_TRUE( sheet.Wants( 0 ) );
	EXPECT_FALSE( sheet.Wants( 1 ) );
	EXPECT_EQ( sheet.TileWidth(), 480 );
	EXPECT_EQ( sheet.TileHeight(), 240 );
	const Picture input = Filled( 64, 32, 200, 40, 30, 255 );
	// Left half transparent, right half premultiplied half-transparent white.
	Picture output = Filled( 64, 32, 0, 0, 0, 0 );
	for( int y = 0; y < 32; ++y )
		for( int x = 32; x < 64; ++x )
		{
			uint8_t* px = PixelAt( output, x, y );
			px[ 0 ] = px[ 1 ] = px[ 2 ] = px[ 3 ] = 128;
		}
	sheet.Add( 0, input, output );
	const Picture& s = sheet.Sheet();
	const int top    = sheet.TileY( 0 );
	EXPECT_EQ( Rgba( PixelAt( s, sheet.TileX( 0 ) + 100, top + 100 ) ), ( std::vector< int >{ 200, 40, 30, 255 } ) );
	EXPECT_EQ( Rgba( PixelAt( s, sheet.TileX( 1 ) + 10, top + 10 ) ), ( std::vector< int >{ 0, 0, 0, 255 } ) );
	EXPECT_EQ( Rgba( PixelAt( s, sheet.TileX( 1 ) + 470, top + 10 ) ), ( std::vector< int >{ 128, 128, 128, 255 } ) );
	// The checker's light and dark squares where nothing is left, blended under the half white.
	EXPECT_EQ( Rgba( PixelAt( s, sheet.TileX( 2 ) + 1, top + 1 ) ), ( std::vector< int >{ 204, 204, 204, 255 } ) );
	EXPECT_EQ( Rgba( PixelAt( s, sheet.TileX( 2 ) + 17, top + 1 ) ), ( std::vector< int >{ 153, 153, 153, 255 } ) );
	EXPECT_EQ( Rgba( PixelAt( s, sheet.TileX( 2 ) + 450, top + 1 ) )[ 0 ], 128 + ( 204 * 127 + 127 ) / 255 );
}

TEST( ContactSheetLayout, ExtremeAndTinyFramesStayWithinTheTileLimit )
{
	ContactSheet sheet;
	sheet.Plan( 3, 20000, 10 );
	EXPECT_EQ( sheet.TileWidth(), 480 );
	EXPECT_EQ( sheet.TileHeight(), 1 );
	sheet.Plan( 3, 1, 1 );
	EXPECT_EQ( sheet.TileWidth(), 480 );
	EXPECT_EQ( sheet.TileHeight(), 480 );
	// A frame of another size than planned is scaled into the tile, not read past its end.
	sheet.Add( 2, Filled( 3, 700, 9, 9, 9, 255 ), Filled( 1, 1, 255, 255, 255, 255 ) );
	EXPECT_EQ( PixelAt( sheet.Sheet(), sheet.TileX( 1 ) + 479, sheet.TileY( 2 ) + 479 )[ 0 ], 255 );
}
