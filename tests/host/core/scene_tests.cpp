// The generated presenter scene: what a green-screen keyer must be able to cut, frame after frame.
#include "host/core/scene_presenter.h"

#include <gtest/gtest.h>

#include <algorithm>

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
		int backdrop = 0;
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
		for( int dy = -radius; dy <= radius; ++dy )
			for( int dx = -radius; dx <= radius; ++dx )
			{
				EXPECT_LE( GreenExcess( PixelAt( picture, static_cast< int >( pose.torsoX ) + dx, static_cast< int >( pose.torsoY ) + dy ) ), 16 );
				EXPECT_LE( GreenExcess( PixelAt( picture, static_cast< int >( pose.headX ) + dx, static_cast< int >( pose.headY ) + dy ) ), 16 );
			}
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
	const float x0 = PresenterPose( 0, 1920, 1080 ).centerX;
	const float x30 = PresenterPose( 30, 1920, 1080 ).centerX;
	EXPECT_GT( x30 - x0, 200.f ) << "the presenter crosses the frame";
	// Slow enough that a point well inside stays inside from one frame to the next.
	for( int frame = 0; frame < 300; ++frame )
		EXPECT_LT( std::abs( PresenterPose( frame + 1, 1920, 1080 ).centerX - PresenterPose( frame, 1920, 1080 ).centerX ), 10.f );
}
