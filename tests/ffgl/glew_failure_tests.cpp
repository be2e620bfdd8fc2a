// GLEW is tried once per process. Runs only in a process of its own (UMBRAFEX_GLEW_FAILURE_PROCESS
// set), because the failure it provokes is final for the process.
#include "tests/ffgl/spine_fixture.h"

#include <cstdlib>

TEST( GlewFailure, IsFinalForTheProcess )
{
	if( !std::getenv( "UMBRAFEX_GLEW_FAILURE_PROCESS" ) )
		GTEST_SKIP() << "needs a process of its own";
	ASSERT_FALSE( glewAttempted );
	std::string error;
	ASSERT_TRUE( CreateTestContextNotCurrent( &error ) ) << error;
	const SpineCalls calls;
	calls.ResetSpine();
	FFGLViewportStruct vp = { 0, 0, 16, 16 };

	// A default that fails ends instantiation before GLEW is tried.
	testPlugin.failSetFloatIndex = kTestLevel;
	EXPECT_EQ( kFailPointer, Bits( calls.CallWith( FF_INSTANTIATE_GL, &vp ) ) );
	EXPECT_FALSE( glewAttempted );
	testPlugin.failSetFloatIndex = 0xFFFFFFFF;

	// No context current: glewInit fails, the new instance is destroyed without InitGL.
	EXPECT_EQ( kFailPointer, Bits( calls.CallWith( FF_INSTANTIATE_GL, &vp ) ) );
	EXPECT_TRUE( glewAttempted );
	EXPECT_FALSE( glewReady );
	EXPECT_EQ( 0, testPlugin.initGL );
	EXPECT_EQ( testPlugin.constructed - 1, testPlugin.destroyed );

	// With a context current, GLEW is still not tried again: its entry points stay unresolved.
	MakeTestContextCurrent();
	EXPECT_EQ( kFailPointer, Bits( calls.CallWith( FF_INSTANTIATE_GL, &vp ) ) );
	EXPECT_FALSE( glewReady );
	EXPECT_EQ( nullptr, reinterpret_cast< void* >( glBindFramebuffer ) );
	EXPECT_EQ( 0, testPlugin.initGL );
	EXPECT_EQ( testPlugin.constructed - 1, testPlugin.destroyed );
	calls.ResetSpine();
}
