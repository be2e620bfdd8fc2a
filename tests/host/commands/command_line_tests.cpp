// ffglhost's command line, the --bench option and the help among it.
#include "host/commands/command_line.h"

#include <gtest/gtest.h>

#include <tuple>
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
	EXPECT_TRUE( line.run.inputPath.empty() );
	EXPECT_EQ( line.run.width, 1920 );
	EXPECT_EQ( line.run.height, 1080 );
	EXPECT_EQ( line.run.frames, 0 );
	EXPECT_TRUE( line.run.progress );
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
	EXPECT_EQ( line.run.width, 640 );
	EXPECT_EQ( line.run.height, 360 );
	EXPECT_EQ( line.run.frames, 8 );
	ASSERT_EQ( line.run.settings.size(), 2u );
	EXPECT_EQ( line.run.settings[ 0 ].first, "Show Mask" );
	EXPECT_EQ( line.run.settings[ 0 ].second, "1" );
	EXPECT_EQ( line.run.settings[ 1 ].first, "Edge Hard" );
	EXPECT_EQ( line.run.outDirectory, "o" );
	EXPECT_EQ( line.run.sheetPath, "s.png" );
	ASSERT_EQ( line.environment.size(), 1u );
	EXPECT_EQ( line.environment[ 0 ].first, "A" );
	EXPECT_EQ( line.environment[ 0 ].second, "b=c" );
	EXPECT_FALSE( line.run.progress );
}

// The message of each refused line, word for word: scripts and users match on them. An unknown option of
// run is read with its value first, so a last unknown word is said to lack one.
TEST( CommandLineRun, MistakesAreRefusedWithTheirMessage )
{
	std::vector< std::pair< std::vector< const char* >, std::string > > bad = {
		{ {}, "no command given" },
		{ { "draw", "p.so" }, "unknown command \"draw\" (expected info, run or check)" },
		{ { "run" }, "run: no plug-in library given" },
		{ { "run", "--size", "64x64" }, "run: no plug-in library given" },
		{ { "run", "p.so", "--frames", "0" }, "--frames expects a whole number from 1 to 1000000, not \"0\"" },
		{ { "run", "p.so", "--frames", "ten" }, "--frames expects a whole number from 1 to 1000000, not \"ten\"" },
		{ { "run", "p.so", "--frames" }, "--frames needs a value" },
		{ { "run", "p.so", "--set", "=1" }, "--set expects NAME=VALUE, not \"=1\"" },
		{ { "run", "p.so", "--set", "Quality" }, "--set expects NAME=VALUE, not \"Quality\"" },
		{ { "run", "p.so", "--scene", "beach" }, "unknown scene \"beach\" (the scenes are: presenter, photo:FILE)" },
		{ { "run", "p.so", "--input", "a.png", "--size", "64x64" },
		  "--size applies to the generated scene; input pictures keep their own size" },
		{ { "run", "p.so", "--input", "a.png", "--scene", "presenter" }, "--input and --scene exclude each other" },
		{ { "run", "p.so", "--colour", "red" }, "run: unknown option \"--colour\"" },
		{ { "run", "p.so", "stray" }, "unexpected argument \"stray\"" },
		{ { "info", "p.so", "--frames", "3" }, "info: unknown option \"--frames\"" },
		{ { "info", "p.so", "--no-progress" }, "info: unknown option \"--no-progress\"" },
		{ { "info", "p.so", "--env", "NOVALUE" }, "--env expects NAME=VALUE, not \"NOVALUE\"" },
		{ { "check", "p.so", "--strictness", "11" }, "--strictness expects a whole number from 1 to 10, not \"11\"" },
		{ { "check", "p.so", "--strictness", "0" }, "--strictness expects a whole number from 1 to 10, not \"0\"" },
		{ { "check", "p.so", "--seed", "-1" },
		  "--seed expects a whole number from 0 to 18446744073709551615, not \"-1\"" },
		{ { "check", "p.so", "--seed", "18446744073709551616" },
		  "--seed expects a whole number from 0 to 18446744073709551615, not \"18446744073709551616\"" },
		{ { "check", "p.so", "--groups", "scan,scan" }, "the group \"scan\" is named twice" },
		{ { "check", "p.so", "--groups", "" },
		  "unknown group \"\" (the groups are scan, protocol, instances, parameters, sizes, output)" },
		{ { "check", "p.so", "--frames", "3" }, "check: unknown option \"--frames\"" },
		{ { "check", "p.so", "--call-timeout", "0" },
		  "--call-timeout expects whole seconds from 1 to 3600, not \"0\"" },
		{ { "info", "p.so", "--seed", "3" }, "info: unknown option \"--seed\"" },
		{ { "run", "p.so", "--still" }, "--still applies to a photo scene (--scene photo:FILE)" },
		{ { "run", "p.so", "--scene", "photo:" }, "unknown scene \"photo:\" (the scenes are: presenter, photo:FILE)" },
		{ { "run", "p.so", "--versus", "A=b" }, "--versus applies to --bench" },
		{ { "check-group", "colour", "p.so" }, "check-group: no known group given" },
		{ { "run", "p.so", "--colour" }, "--colour needs a value" },
		{ { "run", "p.so", "stray", "x" }, "run: unknown option \"stray\"" },
		{ { "check-group", "scan", "p.so", "--size", "3x3" }, "check-group: unknown option \"--size\"" },
		{ { "run", "p.so", "--bench", "--out", "dir" }, "--bench writes no frames: leave out --out and --sheet" },
		{ { "help", "check-group" }, "help: unknown command \"check-group\" (the commands are info, run, check)" },
		{ { "help", "run", "check" }, "help takes one command at most" },
		{ { "version", "check" }, "version takes no arguments" },
	};
	for( const char* size : { "0x0", "1920", "-5x3", "64x", "99999999999x2" } )
		bad.push_back( { { "run", "p.so", "--size", size },
		                 "--size expects WxH with both from 1 to 1000000 (e.g. 1920x1080), not \"" +
		                     std::string( size ) + "\"" } );
	for( const auto& row : bad )
	{
		CommandLine line;
		std::string error;
		EXPECT_FALSE( Parse( row.first, &line, &error ) ) << row.second;
		EXPECT_EQ( error, row.second );
	}
}

// Every way of asking for the help or the version, with or without a plug-in and options before it.
TEST( CommandLineHelp, AskedForAnywhereOnTheLine )
{
	const std::vector< std::tuple< std::vector< const char* >, const char*, const char* > > asks = {
		{ { "version" }, "version", "" },
		{ { "help" }, "help", "" },
		{ { "-h" }, "help", "" },
		{ { "help", "run" }, "help", "run" },
		{ { "info", "-h" }, "help", "info" },
		{ { "run", "p.so", "--size", "8x8", "--help", "--frames", "0" }, "help", "run" },
	};
	for( const auto& ask : asks )
	{
		CommandLine line;
		std::string error;
		EXPECT_TRUE( Parse( std::get< 0 >( ask ), &line, &error ) ) << error;
		EXPECT_EQ( line.command, std::get< 1 >( ask ) );
		EXPECT_EQ( line.helpTopic, std::get< 2 >( ask ) );
	}
}

// A command's help shows what a user may type and nothing ffglhost passes only to itself.
TEST( CommandLineHelp, ShowsTheOptionsUsersTypeOnly )
{
	const std::vector< std::tuple< const char*, const char*, bool > > lines = {
		{ "check", "\n  --help ", true },
		{ "check", "--probe", false },
		{ "check", "--unrepeatable", false },
		{ "run", "\n  --versus NAME=VALUE ", true },
		{ "run", "--bench-child", false },
		{ "info", "\n  --frames", false },
		{ "", "usage: ffglhost check PLUGIN", true },
		{ "", "check-group", false },
	};
	for( const auto& row : lines )
		EXPECT_EQ( HelpText( std::get< 0 >( row ) ).find( std::get< 1 >( row ) ) != std::string::npos,
		           std::get< 2 >( row ) )
		    << std::get< 0 >( row ) << ": " << std::get< 1 >( row );
}

TEST( CommandLineCheck, StrictnessSeedAndGroups )
{
	CommandLine line;
	std::string error;
	ASSERT_TRUE( Parse( { "check", "p.dll", "--strictness", "10", "--seed", "18446744073709551615", "--groups",
	                      "sizes,scan", "--json", "r.json", "--call-timeout", "5", "--env", "A=b" },
	                    &line, &error ) )
	    << error;
	EXPECT_EQ( line.check.strictness, 10 );
	EXPECT_TRUE( line.check.seedGiven );
	EXPECT_EQ( line.check.seed, 18446744073709551615ull );
	EXPECT_EQ( line.check.groups, ( std::vector< std::string >{ "sizes", "scan" } ) );
	EXPECT_EQ( line.check.jsonPath, "r.json" );
	EXPECT_EQ( line.check.callTimeout, 5 );
	ASSERT_TRUE( Parse( { "check-group", "output", "p.so", "--seed", "0" }, &line, &error ) ) << error;
	EXPECT_EQ( line.plugin, "p.so" );
	EXPECT_EQ( line.check.groups, std::vector< std::string >{ "output" } );
	EXPECT_EQ( line.check.strictness, 5 );
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

TEST( BenchOption, TakesNoValueAndSilencesProgress )
{
	CommandLine line;
	std::string error;
	ASSERT_TRUE( Parse( { "run", "p.so", "--bench", "--size", "1280x720", "--frames", "30" }, &line, &error ) )
	    << error;
	EXPECT_TRUE( line.run.bench );
	EXPECT_FALSE( line.run.benchChild );
	EXPECT_FALSE( line.run.progress );
	EXPECT_TRUE( line.run.sizeGiven );
	EXPECT_EQ( 30, line.run.frames );
	ASSERT_TRUE( Parse( { "run", "p.so", "--bench-child", "--env", "REFRT_MATTE=255" }, &line, &error ) ) << error;
	EXPECT_TRUE( line.run.benchChild );
	EXPECT_FALSE( line.run.bench );
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
