// The generated scenes: the presenter a green-screen keyer must be able to cut, frame after frame, and
// a photograph filmed by a handheld camera.
#include "host/core/png_io.h"
#include "host/core/scene_photo.h"
#include "host/core/scene_presenter.h"
#include "tests/support/test_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

using namespace ffglhost;

static int GreenExcess( const uint8_t* p )
{
	return p[ 1 ] - std::max( p[ 0 ], p[ 2 ] );
}

static bool OutsideBox( const FigurePose& pose, int x, int y )
{
	const float px = x + 0.5f, py = y + 0.5f;
	return px < pose.left || px > pose.right || py < pose.top || py > pose.bottom;
}

struct SceneCase
{
	int w, h;
};

class PresenterScene : public ::testing::TestWithParam< SceneCase >
{
};

TEST_P( PresenterScene, BackdropIsAlwaysKeyGreenAndTheFigureNever )
{
	const SceneCase c = GetParam();
	Picture picture;
	for( int frame : { 0, 17, 40, 75, 113 } )
	{
		RenderPresenter( frame, c.w, c.h, picture );
		ASSERT_EQ( picture.width, c.w );
		ASSERT_EQ( picture.height, c.h );
		const FigurePose pose = PresenterPose( frame, c.w, c.h );
		int backdrop          = 0;
		for( int y = 0; y < c.h; ++y )
			for( int x = 0; x < c.w; ++x )
			{
				const uint8_t* p = PixelAt( picture, x, y );
				ASSERT_EQ( p[ 3 ], 255 );
				if( OutsideBox( pose, x, y ) )
				{
					++backdrop;
					ASSERT_GE( GreenExcess( p ), kBackdropMinGreenExcess ) << frame << " at " << x << "," << y;
				}
			}
		EXPECT_GT( backdrop, c.w * c.h / 4 ) << "the figure must leave most of the frame to the backdrop";
		// Torso and head: far from any key colour, whatever the noise.
		const int radius = std::max( 1, static_cast< int >( pose.unit * 0.04f ) );
		for( const auto& centre :
		     { std::make_pair( pose.torsoX, pose.torsoY ), std::make_pair( pose.headX, pose.headY ) } )
			for( int dy = -radius; dy <= radius; ++dy )
				for( int dx = -radius; dx <= radius; ++dx )
					EXPECT_LE( GreenExcess( PixelAt( picture, static_cast< int >( centre.first ) + dx,
					                                 static_cast< int >( centre.second ) + dy ) ),
					           16 );
		EXPECT_LT( pose.headY, pose.torsoY ) << "rows are top first: the head is above the torso";
	}
}

INSTANTIATE_TEST_SUITE_P( Sizes, PresenterScene,
                          ::testing::Values( SceneCase{ 1920, 1080 }, SceneCase{ 640, 360 }, SceneCase{ 360, 640 },
                                             SceneCase{ 97, 61 } ) );

TEST( PresenterMotion, SameFrameSamePictureAndTheFigureMoves )
{
	Picture a, b, c;
	RenderPresenter( 12, 320, 180, a );
	RenderPresenter( 12, 320, 180, b );
	RenderPresenter( 13, 320, 180, c );
	EXPECT_EQ( a.rgba, b.rgba );
	EXPECT_NE( a.rgba, c.rgba );
	const float x0  = PresenterPose( 0, 1920, 1080 ).centerX;
	const float x30 = PresenterPose( 30, 1920, 1080 ).centerX;
	EXPECT_GT( x30 - x0, 200.f ) << "the presenter crosses the frame";
	// Slow enough that a point well inside stays inside from one frame to the next.
	for( int frame = 0; frame < 300; ++frame )
		EXPECT_LT(
		    std::abs( PresenterPose( frame + 1, 1920, 1080 ).centerX - PresenterPose( frame, 1920, 1080 ).centerX ),
		    10.f );
}

// Writes a photo of w x h whose pixels colour( x, y ) gives, and opens it as a scene.
template< typename Colour >
static void OpenPhoto( PhotoScene& scene, const char* name, int w, int h, Colour colour )
{
	Picture photo;
	ResizePicture( photo, w, h );
	for( int y = 0; y < h; ++y )
		for( int x = 0; x < w; ++x )
		{
			uint8_t* p = PixelAt( photo, x, y );
			colour( x, y, p );
			p[ 3 ] = 255;
		}
	const std::string path = JoinPath( ExecutableDirectory(), name );
	std::string error;
	ASSERT_TRUE( WritePng( path, photo, PngCompression::kFast, &error ) ) << error;
	ASSERT_TRUE( scene.Open( path, &error ) ) << error;
	RemoveFile( path );
}

TEST( PhotoScene, FillsTheFrameCentredAndInProportion )
{
	// White with a black column 4 pixels wide in the middle of a wide photo.
	PhotoScene scene;
	OpenPhoto( scene, "host_photo_column.png", 40, 20,
	           []( int x, int, uint8_t* p ) { p[ 0 ] = p[ 1 ] = p[ 2 ] = x >= 18 && x < 22 ? 0 : 255; } );
	// A square frame: the photo fills its height (90 / 20, and the margin) and loses its sides, so the
	// column is about 18 pixels wide and centred.
	Picture frame;
	scene.Render( 0, 90, 90, 0, true, frame );
	ASSERT_EQ( frame.rgba.size(), 90u * 90u * 4u );
	int first = -1, last = -1;
	for( int x = 0; x < 90; ++x )
		if( PixelAt( frame, x, 45 )[ 0 ] < 128 )
		{
			first = first < 0 ? x : first;
			last  = x;
		}
	EXPECT_NEAR( last - first + 1, 18, 2 );
	EXPECT_NEAR( ( first + last ) / 2.0, 44.5, 1.5 );
}

TEST( PhotoScene, StillFramesChangeByFreshNoiseAloneAndTheHandMovesAFewPixels )
{
	PhotoScene scene;
	// A checkerboard of 40-pixel squares, where any motion of the camera shows at the edges; its levels
	// leave the noise room on both sides.
	OpenPhoto( scene, "host_photo_checker.png", 64, 36,
	           []( int x, int y, uint8_t* p ) { p[ 0 ] = p[ 1 ] = p[ 2 ] = ( ( x / 2 + y / 2 ) % 2 ) ? 190 : 60; } );
	Picture a, b, again, moved;
	scene.Render( 3, 1280, 720, 7, true, a );
	scene.Render( 100, 1280, 720, 7, true, b );
	scene.Render( 3, 1280, 720, 7, true, again );
	EXPECT_EQ( a.rgba, again.rgba ) << "a frame is a function of its number and seed";
	// Two independent noises of spread 2.5 differ by 2.8 on average; the picture itself not at all.
	double change = 0.0;
	for( size_t i = 0; i < a.rgba.size(); ++i )
		change += std::abs( a.rgba[ i ] - b.rgba[ i ] );
	EXPECT_NEAR( change / static_cast< double >( a.rgba.size() / 4 * 3 ), 2.8, 0.4 );
	scene.Render( 3, 1280, 720, 8, false, moved );
	EXPECT_NE( moved.rgba, a.rgba );

	float largest = 0.f, largestStep = 0.f;
	CameraMotion previous = HandheldMotion( 0, 8, 1080 );
	for( int frame = 1; frame < 600; ++frame )
	{
		const CameraMotion m = HandheldMotion( frame, 8, 1080 );
		largest              = std::max( largest, std::hypot( m.shiftX, m.shiftY ) );
		largestStep = std::max( largestStep, std::hypot( m.shiftX - previous.shiftX, m.shiftY - previous.shiftY ) );
		EXPECT_LT( std::fabs( m.angle ), 0.005f );
		EXPECT_NEAR( m.zoom, 1.f, 0.01f );
		previous = m;
	}
	EXPECT_GT( largest, 1.f );
	EXPECT_LT( largest, 4.f ) << "a few pixels of shake at full HD";
	EXPECT_LT( largestStep, 1.f ) << "a hand, not a jump cut";
}
