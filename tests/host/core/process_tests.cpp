// Child processes as ffglhost check and run --bench start them: every argument arrives as it was given.
#include "host/core/process.h"

#include <gtest/gtest.h>

using namespace ffglhost;

TEST( Process, ArgumentsReachTheChildIntact )
{
	// This executable again; GoogleTest echoes its filter, quotes, spaces and backslashes included.
	const std::string filter  = "No\"Such \\\"Test\\ \\";
	const ProcessResult child = RunProcess( { ExecutablePath(), "--gtest_filter=" + filter } );
	ASSERT_TRUE( child.started );
	EXPECT_FALSE( child.crashed );
	const size_t at = child.output.find( "filter = " + filter );
	ASSERT_NE( at, std::string::npos ) << child.output;
	const char after = child.output[ at + 9 + filter.size() ];
	EXPECT_TRUE( after == '\n' || after == '\r' ) << child.output; // nothing more was glued on
}
