#include "host/check_artifacts.h"

#include "host/png_io.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace ffglhost
{
void MakeDifferencePicture( const Picture& expected, const Picture& drawn, Picture& difference )
{
	const int w = std::max( expected.width, drawn.width );
	const int h = std::max( expected.height, drawn.height );
	ResizePicture( difference, w, h );
	for( int y = 0; y < h; ++y )
		for( int x = 0; x < w; ++x )
		{
			uint8_t* out       = PixelAt( difference, x, y );
			const bool inBoth  = x < expected.width && y < expected.height && x < drawn.width && y < drawn.height;
			int step           = 255;
			int grey           = 0;
			if( inBoth )
			{
				const uint8_t* p = PixelAt( expected, x, y );
				const uint8_t* q = PixelAt( drawn, x, y );
				step             = 0;
				for( int c = 0; c < 4; ++c )
					step = std::max( step, std::abs( p[ c ] - q[ c ] ) );
				grey = ( p[ 0 ] + p[ 1 ] + p[ 2 ] ) / 12; // a quarter of the mean: context, never mistaken for red
			}
			if( step > 1 )
			{
				out[ 0 ] = static_cast< uint8_t >( 128 + step / 2 );
				out[ 1 ] = out[ 2 ] = 0;
			}
			else
				out[ 0 ] = out[ 1 ] = out[ 2 ] = static_cast< uint8_t >( grey );
			out[ 3 ] = 255;
		}
}

std::string ArtifactBaseName( const std::string& check, const std::string& instance, int frame )
{
	std::string name = check + "-" + instance + "-frame" + std::to_string( frame );
	for( char& c : name )
		if( !( ( c >= 'a' && c <= 'z' ) || ( c >= 'A' && c <= 'Z' ) || ( c >= '0' && c <= '9' ) || c == '.' || c == '-' ) )
			c = '_';
	return name;
}

bool WriteComparisonPictures( const std::string& directory, const std::string& base, const Picture& expected,
                              const Picture& drawn, std::vector< std::string >* files, std::string* error )
{
	std::error_code ec;
	std::filesystem::create_directories( directory, ec );
	Picture pictures[ 3 ] = { expected, drawn, Picture() };
	MakeDifferencePicture( expected, drawn, pictures[ 2 ] );
	// The checks hold premultiplied pictures; a PNG file holds straight colour.
	Unpremultiply( pictures[ 0 ] );
	Unpremultiply( pictures[ 1 ] );
	const char* const kinds[ 3 ] = { "expected", "drawn", "difference" };
	for( int i = 0; i < 3; ++i )
	{
		const std::string name = base + "-" + kinds[ i ] + ".png";
		if( !WritePng( ( std::filesystem::path( directory ) / name ).string(), pictures[ i ], error, false ) )
			return false;
		files->push_back( name );
	}
	return true;
}
}
