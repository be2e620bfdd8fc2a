// ffglhost check's parent side: what it reads from a group's output, how reports of one check from
// several groups merge, and the JSON it writes.
#include "host/check/check_report.h"
#include "host/check/group_lines.h"
#include "host/check/json_report.h"
#include "tests/support/test_process.h"

#include <gtest/gtest.h>

using namespace ffglhost;

TEST( CheckReport, GroupOutputNamesTheCheckAndCallACrashInterrupted )
{
	// A plug-in's own prints between the lines, Windows line ends, and no end line: it died in a call.
	const GroupOutcome outcome = ParseGroupOutput( "@check begin a.first\r\n"
	                                               "plug-in chatter\n"
	                                               "@check result PASS a.first 1 2500 -1 all good: 3 frames\r\n"
	                                               "@check time steady_frame 2500\n"
	                                               "@check log Umbrafex: created\n"
	                                               "@check begin a.second\n"
	                                               "@check call FF_PROCESS_OPENGL (frame 2 of instance 1 at 8x8)\n" );
	ASSERT_EQ( outcome.results.size(), 1u );
	EXPECT_EQ( outcome.results[ 0 ].name, "a.first" );
	EXPECT_EQ( outcome.results[ 0 ].status, CheckStatus::kPass );
	EXPECT_EQ( outcome.results[ 0 ].reason, "all good: 3 frames" );
	EXPECT_TRUE( outcome.results[ 0 ].ran );
	EXPECT_DOUBLE_EQ( outcome.results[ 0 ].milliseconds, 2.5 );
	EXPECT_EQ( outcome.results[ 0 ].count, -1 );
	ASSERT_EQ( outcome.times.size(), 1u );
	EXPECT_EQ( outcome.times[ 0 ].first, "steady_frame" );
	EXPECT_DOUBLE_EQ( outcome.times[ 0 ].second, 2.5 );
	EXPECT_EQ( outcome.logLines, std::vector< std::string >{ "Umbrafex: created" } );
	EXPECT_EQ( outcome.currentCheck, "a.second" );
	EXPECT_EQ( outcome.lastCall, "FF_PROCESS_OPENGL (frame 2 of instance 1 at 8x8)" );
	EXPECT_FALSE( outcome.ended );
	EXPECT_TRUE( ParseGroupOutput( "@check begin x\n@check result FAIL x 1 0 -1 why\n@check end\n" ).ended );
	const GroupOutcome notRun = ParseGroupOutput( "@check begin x\n@check result FAIL x 0 0 -1 not run: why\n"
	                                              "@check result PASS glstate.other 1 0 12 calls left\n" );
	EXPECT_TRUE( notRun.currentCheck.empty() );
	ASSERT_EQ( notRun.results.size(), 2u );
	EXPECT_FALSE( notRun.results[ 0 ].ran );
	EXPECT_EQ( notRun.results[ 1 ].count, 12 );
	EXPECT_EQ( ReasonText( notRun.results[ 1 ] ), "12 calls left" );
}

TEST( CheckReport, TheWorstReportOfACheckStandsAndPassesAddUp )
{
	CheckReport report;
	const char* const left = "calls left the GL state as the host set it";
	report.Add( { "glstate.process", CheckStatus::kPass, left, true, 0.0, 12 } );
	report.Add( { "glstate.process", CheckStatus::kPass, left, true, 0.0, 30 } );
	EXPECT_EQ( ReasonText( report.Results()[ 0 ] ), "42 calls left the GL state as the host set it" );
	report.Add( { "glstate.process", CheckStatus::kFail, "GL_BLEND is enabled" } );
	report.Add( { "glstate.process", CheckStatus::kWarn, "later and milder" } );
	report.Add( { "glstate.process", CheckStatus::kPass, left, true, 0.0, 5 } );
	ASSERT_EQ( report.Results().size(), 1u );
	EXPECT_EQ( report.Results()[ 0 ].status, CheckStatus::kFail );
	EXPECT_EQ( report.Results()[ 0 ].reason, "GL_BLEND is enabled" );
}

TEST( CheckReport, TimingOverBudgetWarnsAndJsonHoldsEverything )
{
	CheckReport report;
	report.Add( { "b.second", CheckStatus::kFail, "a \"quoted\" reason\\" } );
	report.Add( { "a.first", CheckStatus::kPass, "fine" } );
	for( int i = 0; i < 20; ++i )
		report.AddTime( "steady_frame", i < 18 ? 5.0 : 400.0 ); // p95 is the 19th of 20
	report.AddTime( "instantiate", 3.0 );
	report.AddLogLine( "line" );
	report.AddLogLine( "line" );
	report.SetArtifactDirectory( "pics" );
	report.AddArtifact( "b.second", "b.second-instance_1-frame2-drawn.png" );
	report.SummariseTiming( false );
	report.Order( { "a.first", "b.second", "timing.instantiate", "timing.steady_frame" } );
	ASSERT_EQ( report.Results().size(), 4u );
	EXPECT_EQ( report.Results()[ 0 ].name, "a.first" );
	EXPECT_EQ( report.Results()[ 2 ].status, CheckStatus::kPass );
	EXPECT_EQ( report.Results()[ 3 ].status, CheckStatus::kWarn );
	EXPECT_NE( report.Results()[ 3 ].reason.find( "p95 400.00 ms" ), std::string::npos );

	const std::string path = ::testing::TempDir() + "check_report_test.json";
	std::string error;
	ASSERT_TRUE( WriteJsonReport( path, report, "p.so", 7, 42, &error ) ) << error;
	const std::string text = ReadFile( path );
	RemoveFile( path );
	for( const char* expected :
	     { "\"strictness\": 7", "\"seed\": 42", "\"failed\": 1", "\"warnings\": 1",
	       "\"reason\": \"a \\\"quoted\\\" reason\\\\\"", "\"kind\": \"steady_frame\", \"calls\": 20",
	       "\"log\": [\"line\"]",
	       "a \\\"quoted\\\" reason\\\\\", \"artifacts\": [\"pics/b.second-instance_1-frame2-drawn.png\"]}" } )
		EXPECT_NE( text.find( expected ), std::string::npos ) << expected << "\n" << text;
}

TEST( CheckReport, JsonHoldsAnyBytesAPlugInHandsOut )
{
	// UTF-8 as it is; any byte outside a well-formed sequence as the character of its number.
	const struct
	{
		const char* text;
		const char* json;
	} cases[] = {
		{ "caf\xc3\xa9 \xe2\x9c\x93", "\"caf\xc3\xa9 \xe2\x9c\x93\"" },
		{ "\xc3", "\"\\u00c3\"" },                                  // cut short
		{ "\xc0\xaf", "\"\\u00c0\\u00af\"" },                       // overlong
		{ "\xed\xa0\x80", "\"\\u00ed\\u00a0\\u0080\"" },            // a surrogate
		{ "\xf4\x90\x80\x80", "\"\\u00f4\\u0090\\u0080\\u0080\"" }, // past U+10FFFF
		{ "tab\tquote\"", "\"tab\\u0009quote\\\"\"" },
	};
	for( const auto& c : cases )
		EXPECT_EQ( JsonText( c.text ), c.json ) << c.text;
}
