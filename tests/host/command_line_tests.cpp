// ffglhost's command line (the --bench option among it) and its timing summary.
#include "host/command_line.h"
#include "host/timing.h"

#include <gtest/gtest.h>

#include <vector>

using namespace ffglhost;

static bool Parse( std::vector< const char* > args, CommandLine* line, std::string* error )
{
	args.insert( args.begin(), "ffglhost" );
	return ParseCommandLine( static_cast< int >( args.size() ), args.data(), line, error );
}

TEST( CommandLineRun, DefaultsAreThePresenterAtFullHd )
{
	CommandLine line;
	std::string error;
	ASSERT_TRUE( Parse( { "run", "plugin.so" }, &line, &error ) ) << error;
	EXPECT_EQ( line.command, "run" );
	EXPECT_EQ( line.plugin, "plugin.so" );
	EXPECT_TRUE( line.inputPath.empty() );
	EXPECT_EQ( line.width, 1920 );
	EXPECT_EQ( line.height, 1080 );
	EXPECT_EQ( line.frames, 0 );
	EXPECT_TRUE( line.progress );
}

TEST( CommandLineRun, OptionsAreTakenInOrder )
{
	CommandLine line;
	std::string error;
	ASSERT_TRUE( Parse( { "run", "p.dll", "--size", "640x360", "--frames", "8", "--set", "Show Mask=1", "--set",
	                      "Edge Hard=0.25", "--out", "o", "--sheet", "s.png", "--env", "A=b=c", "--no-progress",
	                      "--scene", "presenter" },
	                    &line, &error ) )
	    << error;
	EXPECT_EQ( line.width, 640 );
	EXPECT_EQ( line.height, 360 );
	EXPECT_EQ( line.frames, 8 );
	ASSERT_EQ( line.settings.size(), 2u );
	EXPECT_EQ( line.settings[ 0 ].first, "Show Mask" );
	EXPECT_EQ( line.settings[ 0 ].second, "1" );
	EXPECT_EQ( line.settings[ 1 ].first, "Edge Hard" );
	EXPECT_EQ( line.outDirectory, "o" );
	EXPECT_EQ( line.sheetPath, "s.png" );
	ASSERT_EQ( line.environment.size(), 1u );
	EXPECT_EQ( line.environment[ 0 ].first, "A" );
	EXPECT_EQ( line.environment[ 0 ].second, "b=c" );
	EXPECT_FALSE( line.progress );
}

TEST( CommandLineRun, MistakesAreRefusedWithAMessage )
{
	const std::vector< std::vector< const char* > > bad = {
		{},
		{ "draw", "p.so" },
		{ "run" },
		{ "run", "--size", "64x64" },
		{ "run", "p.so", "--size", "0x0" },
		{ "run", "p.so", "--size", "1920" },
		{ "run", "p.so", "--size", "-5x3" },
		{ "run", "p.so", "--size", "64x" },
		{ "run", "p.so", "--size", "99999999999x2" },
		{ "run", "p.so", "--frames", "0" },
		{ "run", "p.so", "--frames", "ten" },
		{ "run", "p.so", "--frames" },
		{ "run", "p.so", "--set", "=1" },
		{ "run", "p.so", "--set", "Quality" },
		{ "run", "p.so", "--scene", "beach" },
		{ "run", "p.so", "--input", "a.png", "--size", "64x64" },
		{ "run", "p.so", "--input", "a.png", "--scene", "presenter" },
		{ "run", "p.so", "--colour", "red" },
		{ "run", "p.so", "stray" },
		{ "info", "p.so", "--frames", "3" },
		{ "info", "p.so", "--no-progress" },
		{ "info", "p.so", "--env", "NOVALUE" },
		{ "check", "p.so", "--strictness", "11" },
		{ "check", "p.so", "--strictness", "0" },
		{ "check", "p.so", "--seed", "-1" },
		{ "check", "p.so", "--seed", "18446744073709551616" },
		{ "check", "p.so", "--groups", "scan,scan" },
		{ "check", "p.so", "--groups", "" },
		{ "check", "p.so", "--frames", "3" },
		{ "check", "p.so", "--call-timeout", "0" },
		{ "info", "p.so", "--seed", "3" },
		{ "run", "p.so", "--still" },
		{ "run", "p.so", "--scene", "photo:" },
		{ "run", "p.so", "--versus", "A=b" },
		{ "check-group", "colour", "p.so" },
	};
	for( const auto& args : bad )
	{
		CommandLine line;
		std::string error;
		EXPECT_FALSE( Parse( args, &line, &error ) ) << ( args.empty() ? "(nothing)" : args.back() );
		EXPECT_FALSE( error.empty() );
	}
}

TEST( CommandLineCheck, StrictnessSeedAndGroups )
{
	CommandLine line;
	std::string error;
	ASSERT_TRUE( Parse( { "check", "p.dll", "--strictness", "10", "--seed", "18446744073709551615", "--groups",
	                      "sizes,scan", "--json", "r.json", "--call-timeout", "5", "--env", "A=b" },
	                    &line, &error ) )
	    << error;
	EXPECT_EQ( line.strictness, 10 );
	EXPECT_TRUE( line.seedGiven );
	EXPECT_EQ( line.seed, 18446744073709551615ull );
	EXPECT_EQ( line.groups, ( std::vector< std::string >{ "sizes", "scan" } ) );
	EXPECT_EQ( line.jsonPath, "r.json" );
	EXPECT_EQ( line.callTimeout, 5 );
	ASSERT_TRUE( Parse( { "check-group", "output", "p.so", "--seed", "0" }, &line, &error ) ) << error;
	EXPECT_EQ( line.plugin, "p.so" );
	EXPECT_EQ( line.groups, std::vector< std::string >{ "output" } );
	EXPECT_EQ( line.strictness, 5 );
}

TEST( CommandLineValues, NumbersMustBeWholeAndFinite )
{
	float v = -1.f;
	EXPECT_TRUE( ParseNumber( "0.5", &v ) );
	EXPECT_FLOAT_EQ( v, 0.5f );
	EXPECT_TRUE( ParseNumber( "1", &v ) );
	EXPECT_FLOAT_EQ( v, 1.f );
	EXPECT_TRUE( ParseNumber( "-2e-1", &v ) );
	EXPECT_FLOAT_EQ( v, -0.2f );
	for( const char* text : { "", "abc", "1.0x", "nan", "inf", " 1", "1e60", "0,5" } )
		EXPECT_FALSE( ParseNumber( text, &v ) ) << text;
	int w = 0, h = 0;
	EXPECT_TRUE( ParseSize( "1x1", &w, &h ) );
	EXPECT_TRUE( ParseSize( "3840X2160", &w, &h ) );
	EXPECT_EQ( w, 3840 );
	EXPECT_EQ( h, 2160 );
}

TEST( Timing, SummaryOfKnownSamples )
{
	FrameTimes times;
	times.Reserve( 100 );
	// 1 ms to 100 ms, shuffled: the summary must not depend on the order.
	for( int i = 0; i < 100; ++i )
		times.Add( ( ( i * 37 ) % 100 + 1 ) / 1000.0 );
	TimingSummary s = times.Summarise();
	EXPECT_EQ( s.frames, 100u );
	EXPECT_DOUBLE_EQ( s.minMs, 1.0 );
	EXPECT_DOUBLE_EQ( s.maxMs, 100.0 );
	EXPECT_NEAR( s.medianMs, 50.5, 1e-9 );
	EXPECT_NEAR( s.p95Ms, 95.0, 1e-9 );
	EXPECT_NEAR( s.fps, 100.0 / 5.05, 1e-9 );
	EXPECT_NE( FormatTimingSummary( s ).find( "median 50.50 ms" ), std::string::npos );
}

TEST( Timing, OneSampleAndNone )
{
	FrameTimes one;
	one.Add( 0.004 );
	TimingSummary s = one.Summarise();
	EXPECT_DOUBLE_EQ( s.minMs, 4.0 );
	EXPECT_DOUBLE_EQ( s.medianMs, 4.0 );
	EXPECT_DOUBLE_EQ( s.p95Ms, 4.0 );
	EXPECT_DOUBLE_EQ( s.fps, 250.0 );
	FrameTimes none;
	EXPECT_EQ( none.Summarise().frames, 0u );
	EXPECT_EQ( none.Summarise().fps, 0.0 );
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
