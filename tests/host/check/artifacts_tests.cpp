// The difference picture a plug-in maker opens first: the differing pixels must stand out, and only
// those.
#include "host/check/artifacts.h"

#include <gtest/gtest.h>

using namespace ffglhost;

TEST( CheckArtifacts, DifferingPixelsAreRedTheOthersDimGreyAndNamesAreSafe )
{
	Picture expected, drawn, difference;
	ResizePicture( expected, 3, 1 );
	const uint8_t pixels[ 12 ] = { 200, 200, 200, 255, 10, 20, 30, 40, 0, 0, 0, 0 };
	expected.rgba.assign( pixels, pixels + 12 );
	drawn = expected;
	drawn.rgba[ 4 + 3 ] += 1; // one step: the same
	drawn.rgba[ 8 + 1 ] = 9;  // nine steps apart
	MakeDifferencePicture( expected, drawn, difference );
	ASSERT_EQ( difference.width, 3 );
	const uint8_t want[ 12 ] = { 50, 50, 50, 255, 5, 5, 5, 255, 132, 0, 0, 255 };
	for( int i = 0; i < 12; ++i )
		EXPECT_EQ( difference.rgba[ i ], want[ i ] ) << "byte " << i;
	EXPECT_EQ( ArtifactBaseName( "sizes.tiny", "a fresh instance/2", 3 ), "sizes.tiny-a_fresh_instance_2-frame3" );
}
