// The main of every test executable: no buffering on stdout, so what a test prints and what the
// code under test writes arrive in order.
#include <cstdio>
#include <gtest/gtest.h>

int main( int argc, char** argv )
{
	setvbuf( stdout, nullptr, _IONBF, 0 );
	::testing::InitGoogleTest( &argc, argv );
	return RUN_ALL_TESTS();
}
