// The test context itself: a current 4.1 core context into which we can render and read back.
#include "tests/support/gl_helpers.h"
#include "tests/support/gl_test.h"

#include <cstring>

class ContextTest : public GLTest
{
};

TEST_F( ContextTest, IsAtLeast41Core )
{
	GLint major = 0, minor = 0, mask = 0;
	glGetIntegerv( GL_MAJOR_VERSION, &major );
	glGetIntegerv( GL_MINOR_VERSION, &minor );
	glGetIntegerv( GL_CONTEXT_PROFILE_MASK, &mask );
	EXPECT_GE( major * 10 + minor, 41 );
	EXPECT_TRUE( mask & GL_CONTEXT_CORE_PROFILE_BIT );
	EXPECT_NE( glGenVertexArrays, nullptr );
}

TEST_F( ContextTest, ClearedTargetReadsBack )
{
	TestTarget target             = MakeTarget( 4, 3, 1.f, 0.f, 0.f, 1.f );
	std::vector< uint8_t > pixels = ReadPixels( target.framebuffer, 4, 3 );
	const uint8_t red[ 4 ]        = { 255, 0, 0, 255 };
	EXPECT_EQ( 0, std::memcmp( PixelAt( pixels, 4, 3, 2 ), red, 4 ) );
	DeleteTarget( target );
}
