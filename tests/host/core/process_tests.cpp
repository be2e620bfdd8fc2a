// Child processes as ffglhost check and run --bench start them: every argument arrives as it was given,
// and their lines as they are written.
#include "host/core/process.h"
#include "tests/support/test_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

using namespace ffglhost;

TEST( Process, ArgumentsReachTheChildIntact )
{
	// This executable again; GoogleTest echoes its filter, quotes, spaces, backslashes and %NAME% included.
	const std::string filter  = "No\"Such \\\"Test\\ %PATH% \\";
	const ProcessResult child = RunProcess( { ExecutablePath(), "--gtest_filter=" + filter } );
	ASSERT_TRUE( child.started );
	EXPECT_FALSE( child.crashed );
	const size_t at = child.output.find( "filter = " + filter );
	ASSERT_NE( at, std::string::npos ) << child.output;
	const char after = child.output[ at + 9 + filter.size() ];
	EXPECT_TRUE( after == '\n' || after == '\r' ) << child.output; // nothing more was glued on
}

// A line reaches the parent while the child still runs: the child waits for the parent's answer to its
// first line (a file the parent makes), as ffglhost check's progress needs a group's lines as they come.
TEST( Process, LinesArriveWhileTheChildRuns )
{
	const char* answer = std::getenv( "PROCESS_TEST_ANSWER" );
	if( answer ) // the child
	{
		std::printf( "waiting\n" );
		std::fflush( stdout );
		for( int i = 0; i < 200 && !FileExists( answer ); ++i )
			std::this_thread::sleep_for( std::chrono::milliseconds( 50 ) );
		std::printf( FileExists( answer ) ? "answered\n" : "no answer\n" );
		return;
	}
	const std::string file = JoinPath( ExecutableDirectory(), "process_test_answer" );
	RemoveFile( file );
	SetEnvironmentValue( "PROCESS_TEST_ANSWER", file.c_str() );
	std::vector< std::string > lines;
	const ProcessResult child = RunProcess( { ExecutablePath(), "--gtest_filter=Process.LinesArriveWhileTheChildRuns" },
	                                        [ & ]( const std::string& line ) {
		                                        lines.push_back( line );
		                                        if( line == "waiting" )
			                                        WriteFile( file, "" );
	                                        } );
	SetEnvironmentValue( "PROCESS_TEST_ANSWER", nullptr );
	RemoveFile( file );
	EXPECT_TRUE( child.output.empty() );
	EXPECT_NE( std::find( lines.begin(), lines.end(), "answered" ), lines.end() ) << ::testing::PrintToString( lines );
}
