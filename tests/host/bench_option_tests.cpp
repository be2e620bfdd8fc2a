// ffglhost's --bench option: what it implies and what it refuses.
#include "host/command_line.h"

#include <gtest/gtest.h>

#include <vector>

using namespace ffglhost;

static bool Parse( std::vector< const char* > args, CommandLine* line, std::string* error )
{
	args.insert( args.begin(), "ffglhost" );
	return ParseCommandLine( static_cast< int >( args.size() ), args.data(), line, error );
}

TEST( BenchOption, TakesNoValueAndSilencesProgress )
{
	CommandLine line;
	std::string error;
	ASSERT_TRUE( Parse( { "run", "p.so", "--bench", "--size", "1280x720", "--frames", "30" }, &line, &error ) ) << error;
	EXPECT_TRUE( line.bench );
	EXPECT_FALSE( line.benchChild );
	EXPECT_FALSE( line.progress );
	EXPECT_TRUE( line.sizeGiven );
	EXPECT_EQ( 30, line.frames );
	ASSERT_TRUE( Parse( { "run", "p.so", "--bench-child", "--env", "REFRT_MATTE=255" }, &line, &error ) ) << error;
	EXPECT_TRUE( line.benchChild );
	EXPECT_FALSE( line.bench );
}

TEST( BenchOption, RefusesOutputFilesAndInfo )
{
	CommandLine line;
	std::string error;
	EXPECT_FALSE( Parse( { "run", "p.so", "--bench", "--out", "dir" }, &line, &error ) );
	EXPECT_NE( std::string::npos, error.find( "--bench" ) ) << error;
	EXPECT_FALSE( Parse( { "run", "p.so", "--sheet", "s.png", "--bench" }, &line, &error ) );
	EXPECT_FALSE( Parse( { "info", "p.so", "--bench" }, &line, &error ) );
}
