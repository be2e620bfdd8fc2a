#include "tests/support/gl_test.h"

#include "host/core/gl_context.h"

static GLContext& TestContext()
{
	static GLContext context;
	return context;
}

static bool glewDone = false;

bool CreateTestContextNotCurrent( std::string* error )
{
	if( !TestContext().Create( error ) )
		return false;
	TestContext().ClearCurrent();
	return true;
}

void MakeTestContextCurrent()
{
	TestContext().MakeCurrent();
}

bool EnsureTestContext( std::string* error )
{
	if( !TestContext().Create( error ) )
		return false;
	TestContext().MakeCurrent();
	if( !glewDone )
	{
		if( glewInit() != GLEW_OK )
		{
			*error = "glewInit failed in the test module";
			return false;
		}
		glewDone = true;
	}
	return true;
}

void GLTest::SetUp()
{
	std::string error;
	ASSERT_TRUE( EnsureTestContext( &error ) ) << error;
}
