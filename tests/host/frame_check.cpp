// Checks the frames ffglhost wrote: frame_0001.png ... in a folder.
// usage: host_frame_check DIR MODE WIDTH HEIGHT FRAMES [BOX...]
// For the presenter scene:
//   passthrough  every pixel equals the scene's
//   cutout       the first frame passes through; from the fourth on, the figure is opaque and
//                unchanged and the backdrop transparent
//   mask         from the fourth frame on, the picture is grey: the figure white, the backdrop black
// For any scene:
//   matte        in the last frame, the mean alpha of each BOX, person:X0,Y0,X1,Y1 or
//                background:X0,Y0,X1,Y1 in fractions of the frame, is at least 0.9 or at most 0.1
#include "host/core/png_io.h"
#include "host/core/scene_presenter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace ffglhost;

namespace
{
int failures = 0;

void Fail( int frame, int x, int y, const char* what, const uint8_t* got )
{
	if( ++failures <= 20 )
		std::fprintf( stderr, "frame %d at (%d, %d): %s, got (%d, %d, %d, %d)\n", frame + 1, x, y, what, got[ 0 ],
		              got[ 1 ], got[ 2 ], got[ 3 ] );
}

bool Near( const uint8_t* a, const uint8_t* b, int tolerance )
{
	for( int c = 0; c < 4; ++c )
		if( std::abs( a[ c ] - b[ c ] ) > tolerance )
			return false;
	return true;
}

struct Point
{
	int x, y;
};

// Points well inside the figure: around the middle of the torso and of the head.
std::vector< Point > FigurePoints( const FigurePose& pose )
{
	std::vector< Point > points;
	const int step = std::max( 1, static_cast< int >( pose.unit * 0.02f ) );
	for( int dy = -1; dy <= 1; ++dy )
		for( int dx = -1; dx <= 1; ++dx )
		{
			points.push_back(
			    { static_cast< int >( pose.torsoX ) + dx * step, static_cast< int >( pose.torsoY ) + dy * step } );
			points.push_back(
			    { static_cast< int >( pose.headX ) + dx * step, static_cast< int >( pose.headY ) + dy * step } );
		}
	return points;
}

// Points of the backdrop far from the figure: the top corners and the bottom of the far side.
std::vector< Point > BackdropPoints( const FigurePose& pose, int w, int h )
{
	std::vector< Point > candidates = { { w / 20, h / 20 },
		                                { w - 1 - w / 20, h / 20 },
		                                { w / 20, h - 1 - h / 20 },
		                                { w - 1 - w / 20, h - 1 - h / 20 },
		                                { w / 2, h / 20 } };
	const float margin              = pose.unit * 0.08f;
	std::vector< Point > points;
	for( const Point& p : candidates )
	{
		const float x = static_cast< float >( p.x ), y = static_cast< float >( p.y );
		if( x < pose.left - margin || x > pose.right + margin || y < pose.top - margin )
			points.push_back( p );
	}
	return points;
}

// Frame index (0 the first) of the folder, of the size expected; false with a message otherwise.
bool ReadFrame( const std::string& dir, int index, int w, int h, Picture& frame )
{
	char name[ 32 ];
	std::snprintf( name, sizeof( name ), "/frame_%04d.png", index + 1 );
	std::string error;
	if( !ReadPng( dir + name, frame, &error ) )
	{
		std::fprintf( stderr, "%s\n", error.c_str() );
		return false;
	}
	if( frame.width != w || frame.height != h )
	{
		std::fprintf( stderr, "frame %d is %dx%d, not %dx%d\n", index + 1, frame.width, frame.height, w, h );
		return false;
	}
	return true;
}

// The matte mode: boxes that are surely person or surely background, judged by their mean alpha.
int CheckMatte( const std::string& dir, int w, int h, int frames, int boxCount, char** boxes )
{
	Picture frame;
	if( !ReadFrame( dir, frames - 1, w, h, frame ) )
		return 1;
	for( int b = 0; b < boxCount; ++b )
	{
		char kind[ 16 ] = {};
		float f[ 4 ]    = {};
		const bool read =
		    std::sscanf( boxes[ b ], "%15[a-z]:%f,%f,%f,%f", kind, &f[ 0 ], &f[ 1 ], &f[ 2 ], &f[ 3 ] ) == 5;
		const bool person = std::strcmp( kind, "person" ) == 0;
		const int x0 = static_cast< int >( f[ 0 ] * w ), y0 = static_cast< int >( f[ 1 ] * h );
		const int x1 = static_cast< int >( f[ 2 ] * w ), y1 = static_cast< int >( f[ 3 ] * h );
		if( !read || ( !person && std::strcmp( kind, "background" ) != 0 ) || x0 < 0 || y0 < 0 || x1 > w || y1 > h ||
		    x0 >= x1 || y0 >= y1 )
		{
			std::fprintf( stderr, "not a box: %s\n", boxes[ b ] );
			return 2;
		}
		double sum = 0.0;
		for( int y = y0; y < y1; ++y )
			for( int x = x0; x < x1; ++x )
				sum += PixelAt( frame, x, y )[ 3 ] / 255.0;
		const double mean = sum / ( static_cast< double >( x1 - x0 ) * ( y1 - y0 ) );
		std::printf( "%s mean matte %.3f (%s)\n", boxes[ b ], mean, person ? "at least 0.9" : "at most 0.1" );
		failures += person ? mean < 0.9 : mean > 0.1;
	}
	if( failures )
	{
		std::fprintf( stderr, "%d boxes failed\n", failures );
		return 1;
	}
	return 0;
}
}

int main( int argc, char** argv )
{
	const std::string mode = argc > 2 ? argv[ 2 ] : "";
	if( argc < 6 || ( argc > 6 ) != ( mode == "matte" ) )
	{
		std::fprintf( stderr,
		              "usage: host_frame_check DIR passthrough|cutout|mask|matte WIDTH HEIGHT FRAMES [BOX...]\n" );
		return 2;
	}
	const std::string dir = argv[ 1 ];
	const int w = std::atoi( argv[ 3 ] ), h = std::atoi( argv[ 4 ] ), frames = std::atoi( argv[ 5 ] );
	if( mode == "matte" )
		return CheckMatte( dir, w, h, frames, argc - 6, argv + 6 );
	Picture scene, frame;
	int backdropChecks = 0;
	for( int i = 0; i < frames; ++i )
	{
		if( !ReadFrame( dir, i, w, h, frame ) )
			return 1;
		RenderPresenter( i, w, h, scene );
		const FigurePose pose = PresenterPose( i, w, h );
		if( mode == "passthrough" || ( mode == "cutout" && i == 0 ) )
		{
			for( int y = 0; y < h; ++y )
				for( int x = 0; x < w; ++x )
					if( !Near( PixelAt( frame, x, y ), PixelAt( scene, x, y ), 1 ) )
						Fail( i, x, y, "not the scene's pixel", PixelAt( frame, x, y ) );
			continue;
		}
		if( i < 3 )
			continue;
		const uint8_t white[ 4 ] = { 255, 255, 255, 255 }, black[ 4 ] = { 0, 0, 0, 255 }, clear[ 4 ] = { 0, 0, 0, 0 };
		for( const Point& p : FigurePoints( pose ) )
		{
			const uint8_t* got      = PixelAt( frame, p.x, p.y );
			const uint8_t* expected = mode == "mask" ? white : PixelAt( scene, p.x, p.y );
			if( !Near( got, expected, 2 ) )
				Fail( i, p.x, p.y, mode == "mask" ? "figure not white" : "figure not opaque and unchanged", got );
		}
		for( const Point& p : BackdropPoints( pose, w, h ) )
		{
			++backdropChecks;
			const uint8_t* got = PixelAt( frame, p.x, p.y );
			if( !Near( got, mode == "mask" ? black : clear, 0 ) )
				Fail( i, p.x, p.y, mode == "mask" ? "backdrop not black" : "backdrop not transparent", got );
		}
		if( mode == "mask" )
			for( int y = 0; y < h; y += 7 )
				for( int x = 0; x < w; x += 7 )
				{
					const uint8_t* got = PixelAt( frame, x, y );
					if( got[ 0 ] != got[ 1 ] || got[ 1 ] != got[ 2 ] || got[ 3 ] != 255 )
						Fail( i, x, y, "not an opaque grey", got );
				}
	}
	if( mode != "passthrough" && frames > 3 && backdropChecks == 0 )
	{
		std::fprintf( stderr, "no backdrop point could be checked\n" );
		return 1;
	}
	if( failures )
	{
		std::fprintf( stderr, "%d pixel checks failed\n", failures );
		return 1;
	}
	std::printf( "%d frames checked (%s)\n", frames, mode.c_str() );
	return 0;
}
