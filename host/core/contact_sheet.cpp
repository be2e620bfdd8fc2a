#include "host/core/contact_sheet.h"

#include "host/core/png_io.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <stb_easy_font.h>

namespace ffglhost
{
namespace
{
const int kMargin         = 8;
const int kHeader         = 28;
const int kRowLabel       = 24;
const int kMaxTile        = 480;
const int kChecker        = 16;
const int kSheetFrames    = 4;
const uint8_t kBackground = 40;
const uint8_t kText       = 235;

void FillRect( Picture& p, int x0, int y0, int w, int h, uint8_t grey )
{
	for( int y = std::max( 0, y0 ); y < std::min( p.height, y0 + h ); ++y )
		for( int x = std::max( 0, x0 ); x < std::min( p.width, x0 + w ); ++x )
		{
			uint8_t* px = PixelAt( p, x, y );
			px[ 0 ] = px[ 1 ] = px[ 2 ] = grey;
			px[ 3 ]                     = 255;
		}
}

// stb_easy_font's quads, each filled as an axis-aligned rectangle, at twice the font's size.
void DrawText( Picture& p, int x, int y, const std::string& text )
{
	char buffer[ 128 ] = {};
	std::strncpy( buffer, text.c_str(), sizeof( buffer ) - 1 );
	static char vertices[ 128 * 270 ];
	const int quads = stb_easy_font_print( 0.f, 0.f, buffer, nullptr, vertices, sizeof( vertices ) );
	const int scale = 2;
	for( int q = 0; q < quads; ++q )
	{
		const float* v = reinterpret_cast< const float* >( vertices + q * 64 );
		// Four vertices of 16 bytes: x, y, z, colour.
		const float x0 = std::min( v[ 0 ], v[ 8 ] ), x1 = std::max( v[ 0 ], v[ 8 ] );
		const float y0 = std::min( v[ 1 ], v[ 9 ] ), y1 = std::max( v[ 1 ], v[ 9 ] );
		FillRect( p, x + static_cast< int >( x0 ) * scale, y + static_cast< int >( y0 ) * scale,
		          static_cast< int >( x1 - x0 ) * scale, static_cast< int >( y1 - y0 ) * scale, kText );
	}
}

// The average of the source pixels that a tile pixel covers (at least one), premultiplied.
void AreaAverage( const Picture& src, int tx, int ty, int tw, int th, unsigned out[ 4 ] )
{
	const int x0 = static_cast< int >( static_cast< long long >( tx ) * src.width / tw );
	const int y0 = static_cast< int >( static_cast< long long >( ty ) * src.height / th );
	const int x1 = std::max( x0 + 1, static_cast< int >( static_cast< long long >( tx + 1 ) * src.width / tw ) );
	const int y1 = std::max( y0 + 1, static_cast< int >( static_cast< long long >( ty + 1 ) * src.height / th ) );
	unsigned long long sum[ 4 ] = { 0, 0, 0, 0 };
	for( int y = y0; y < y1; ++y )
		for( int x = x0; x < x1; ++x )
		{
			const uint8_t* p = PixelAt( src, x, y );
			for( int c = 0; c < 4; ++c )
				sum[ c ] += p[ c ];
		}
	const unsigned long long n =
	    static_cast< unsigned long long >( x1 - x0 ) * static_cast< unsigned long long >( y1 - y0 );
	for( int c = 0; c < 4; ++c )
		out[ c ] = static_cast< unsigned >( ( sum[ c ] + n / 2 ) / n );
}

enum class TileKind
{
	kOverChecker,
	kAlphaAsGrey,
};

void DrawTile( Picture& sheet, int left, int top, int tw, int th, const Picture& src, TileKind kind )
{
	if( src.width <= 0 || src.height <= 0 )
		return;
	for( int y = 0; y < th; ++y )
		for( int x = 0; x < tw; ++x )
		{
			unsigned c[ 4 ];
			AreaAverage( src, x, y, tw, th, c );
			uint8_t* out = PixelAt( sheet, left + x, top + y );
			if( kind == TileKind::kAlphaAsGrey )
			{
				out[ 0 ] = out[ 1 ] = out[ 2 ] = static_cast< uint8_t >( c[ 3 ] );
			}
			else
			{
				const unsigned checker = ( ( x / kChecker ) + ( y / kChecker ) ) % 2 ? 153u : 204u;
				for( int k = 0; k < 3; ++k )
					out[ k ] = static_cast< uint8_t >(
					    std::min( 255u, c[ k ] + ( checker * ( 255u - c[ 3 ] ) + 127u ) / 255u ) );
			}
			out[ 3 ] = 255;
		}
}
}

std::vector< int > ContactSheetFrames( int frameCount, int count )
{
	std::vector< int > chosen;
	if( frameCount <= 0 || count <= 0 )
		return chosen;
	count = std::min( count, frameCount );
	for( int k = 1; k <= count; ++k )
	{
		const int frame = static_cast< int >( static_cast< long long >( frameCount ) * k / count ) - 1;
		if( chosen.empty() || chosen.back() != frame )
			chosen.push_back( frame );
	}
	return chosen;
}

void ContactSheet::Plan( int frameCount, int frameWidth, int frameHeight )
{
	frames             = ContactSheetFrames( frameCount, kSheetFrames );
	const double scale = std::min( static_cast< double >( kMaxTile ) / std::max( 1, frameWidth ),
	                               static_cast< double >( kMaxTile ) / std::max( 1, frameHeight ) );
	tileWidth          = std::max( 1, static_cast< int >( std::lround( frameWidth * scale ) ) );
	tileHeight         = std::max( 1, static_cast< int >( std::lround( frameHeight * scale ) ) );
	const int rows     = static_cast< int >( frames.size() );
	ResizePicture( sheet, 4 * kMargin + 3 * tileWidth, kHeader + rows * ( kRowLabel + tileHeight ) + kMargin );
	FillRect( sheet, 0, 0, sheet.width, sheet.height, kBackground );
	const char* titles[ 3 ] = { "input", "matte (Show Mask)", "cut-out" };
	for( int column = 0; column < 3; ++column )
		DrawText( sheet, TileX( column ), kMargin, titles[ column ] );
}

bool ContactSheet::Wants( int frameIndex ) const
{
	return std::find( frames.begin(), frames.end(), frameIndex ) != frames.end();
}

int ContactSheet::TileX( int column ) const
{
	return kMargin + column * ( tileWidth + kMargin );
}

int ContactSheet::TileY( int row ) const
{
	return kHeader + row * ( kRowLabel + tileHeight ) + kRowLabel;
}

void ContactSheet::Add( int frameIndex, const Picture& input, const Picture& output )
{
	auto it = std::find( frames.begin(), frames.end(), frameIndex );
	if( it == frames.end() )
		return;
	const int row = static_cast< int >( it - frames.begin() );
	DrawText( sheet, TileX( 0 ), TileY( row ) - kRowLabel + 6, "frame " + std::to_string( frameIndex + 1 ) );
	DrawTile( sheet, TileX( 0 ), TileY( row ), tileWidth, tileHeight, input, TileKind::kOverChecker );
	DrawTile( sheet, TileX( 1 ), TileY( row ), tileWidth, tileHeight, output, TileKind::kAlphaAsGrey );
	DrawTile( sheet, TileX( 2 ), TileY( row ), tileWidth, tileHeight, output, TileKind::kOverChecker );
}

bool ContactSheet::Write( const std::string& path, std::string* error ) const
{
	return WritePng( path, sheet, PngCompression::kSmall, error );
}
}
