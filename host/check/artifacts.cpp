#include "host/check/artifacts.h"

#include "host/core/png_io.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace ffglhost
{
void MarkPixels( const Picture& context, const std::vector< uint8_t >& steps, Picture& marks )
{
	ResizePicture( marks, context.width, context.height );
	for( size_t i = 0; i < steps.size() && i * 4 < context.rgba.size(); ++i )
	{
		const uint8_t* p = &context.rgba[ i * 4 ];
		uint8_t* out     = &marks.rgba[ i * 4 ];
		if( steps[ i ] > 1 )
		{
			out[ 0 ] = static_cast< uint8_t >( 128 + steps[ i ] / 2 );
			out[ 1 ] = out[ 2 ] = 0;
		}
		else // a quarter of the mean: context, never mistaken for red
			out[ 0 ] = out[ 1 ] = out[ 2 ] = static_cast< uint8_t >( ( p[ 0 ] + p[ 1 ] + p[ 2 ] ) / 12 );
		out[ 3 ] = 255;
	}
}

void MakeDifferencePicture( const Picture& expected, const Picture& drawn, Picture& difference )
{
	Picture context;
	ResizePicture( context, std::max( expected.width, drawn.width ), std::max( expected.height, drawn.height ) );
	std::fill( context.rgba.begin(), context.rgba.end(), uint8_t( 0 ) );
	std::vector< uint8_t > steps( static_cast< size_t >( context.width ) * static_cast< size_t >( context.height ),
	                              255 );
	for( int y = 0; y < context.height; ++y )
		for( int x = 0; x < context.width; ++x )
		{
			if( x >= expected.width || y >= expected.height || x >= drawn.width || y >= drawn.height )
				continue;
			const uint8_t* p = PixelAt( expected, x, y );
			const uint8_t* q = PixelAt( drawn, x, y );
			int step         = 0;
			for( int c = 0; c < 4; ++c )
				step = std::max( step, std::abs( p[ c ] - q[ c ] ) );
			steps[ static_cast< size_t >( y ) * static_cast< size_t >( context.width ) + static_cast< size_t >( x ) ] =
			    static_cast< uint8_t >( step );
			std::copy( p, p + 4, PixelAt( context, x, y ) );
		}
	MarkPixels( context, steps, difference );
}

std::string ArtifactBaseName( const std::string& check, const std::string& instance, int frame )
{
	std::string name = check + "-" + instance + "-frame" + std::to_string( frame );
	for( char& c : name )
		if( !( ( c >= 'a' && c <= 'z' ) || ( c >= 'A' && c <= 'Z' ) || ( c >= '0' && c <= '9' ) || c == '.' ||
		       c == '-' ) )
			c = '_';
	return name;
}

bool WriteArtifactPictures( const std::string& directory, const std::string& base,
                            const std::vector< ArtifactPicture >& pictures, std::vector< std::string >* files,
                            std::string* error )
{
	std::error_code ec;
	std::filesystem::create_directories( directory, ec );
	for( const ArtifactPicture& artifact : pictures )
	{
		Picture straight = *artifact.picture;
		if( artifact.premultiplied )
			Unpremultiply( straight );
		const std::string name = base + "-" + artifact.kind + ".png";
		if( !WritePng( ( std::filesystem::path( directory ) / name ).string(), straight, PngCompression::kSmall,
		               error ) )
			return false;
		files->push_back( name );
	}
	return true;
}
}
