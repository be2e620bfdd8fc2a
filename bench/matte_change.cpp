// The mean change of a drawn matte from one frame to the next: frames FIRST to LAST (numbers from 1) of
// a folder ffglhost wrote with "Show Mask" on, in 8-bit levels per pixel (grey: the red channel).
// usage: matte_change DIR FIRST LAST
#include "host/core/png_io.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

using namespace ffglhost;

int main( int argc, char** argv )
{
	if( argc != 4 || std::atoi( argv[ 2 ] ) < 1 || std::atoi( argv[ 3 ] ) <= std::atoi( argv[ 2 ] ) )
	{
		std::fprintf( stderr, "usage: matte_change DIR FIRST LAST (1 <= FIRST < LAST)\n" );
		return 2;
	}
	const int first = std::atoi( argv[ 2 ] ), last = std::atoi( argv[ 3 ] );
	Picture previous, current;
	double change = 0.0, samples = 0.0;
	for( int frame = first; frame <= last; ++frame )
	{
		char name[ 32 ];
		std::snprintf( name, sizeof( name ), "/frame_%04d.png", frame );
		std::string error;
		if( !ReadPng( argv[ 1 ] + std::string( name ), current, &error ) )
		{
			std::fprintf( stderr, "%s\n", error.c_str() );
			return 1;
		}
		if( frame > first )
		{
			if( current.rgba.size() != previous.rgba.size() )
			{
				std::fprintf( stderr, "frame %d is not the size of the one before\n", frame );
				return 1;
			}
			for( size_t i = 0; i < current.rgba.size(); i += 4 )
				change += std::abs( current.rgba[ i ] - previous.rgba[ i ] );
			samples += static_cast< double >( current.rgba.size() / 4 );
		}
		std::swap( previous, current );
	}
	std::printf( "%.4f\n", change / samples );
	return 0;
}
