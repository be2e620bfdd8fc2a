// The JUnit XML that CI servers read: what counts as a failure and what as an error (a check never run),
// the times and counts, where a warning's text goes, and text from a plug-in (its parameter names, its
// log) that XML could not otherwise hold.
#include "host/check/junit_report.h"
#include "tests/support/test_process.h"

#include <gtest/gtest.h>

using namespace ffglhost;

TEST( CheckJUnit, FailuresFailWarningsPassWithTheirTextAndAnyTextStaysWellFormed )
{
	CheckReport report;
	report.SetArtifactDirectory( "pics" );
	report.Add( { "scan.load", CheckStatus::kPass, "fine", true, 1500.0 } );
	report.Add( { "sizes.tiny", CheckStatus::kWarn, "draws its input <unchanged>" } );
	report.Add( { "protocol.null_records", CheckStatus::kFail, "\"Gain\" & co\x01 caf\xc3\xa9 \xff" } );
	report.AddArtifact( "sizes.tiny", "sizes.tiny-instance_1-frame3-drawn.png" );
	report.Add( { "sizes.viewport", CheckStatus::kFail, "not run: the plug-in crashed", false } );
	report.AddLogLine( "plugin says <hi>" );
	report.SetSeconds( 2.25 );
	const std::string path = ::testing::TempDir() + "check_junit_test.xml";
	std::string error;
	ASSERT_TRUE( WriteJUnit( path, report, "a&b.so", 3, 9, &error ) ) << error;
	const std::string xml = ReadFile( path );
	RemoveFile( path );
	for( const char* expected :
	     { "<testsuites name=\"ffglhost check\" tests=\"4\" failures=\"1\" errors=\"1\" time=\"2.250\">",
	       "<property name=\"plugin\" value=\"a&amp;b.so\"/>",
	       "<testcase classname=\"ffglhost.check.scan\" name=\"scan.load\" time=\"1.500\">\n    </testcase>",
	       "name=\"sizes.viewport\" time=\"0.000\">\n      <error message=\"not run: the plug-in crashed\">",
	       "name=\"sizes.tiny\" time=\"0.000\">\n      <system-out>WARN: draws its input &lt;unchanged&gt;\npicture: "
	       "pics/sizes.tiny-instance_1-frame3-drawn.png\n</system-out>",
	       "<failure message=\"&quot;Gain&quot; &amp; co? caf\xc3\xa9 ?\">",
	       "<system-out>plugin says &lt;hi&gt;\n</system-out>" } )
		EXPECT_NE( xml.find( expected ), std::string::npos ) << expected << "\n" << xml;
	EXPECT_EQ( xml.find( "<failure", xml.find( "sizes.tiny" ) ), xml.find( "<failure" ) ) << "a warning is no failure";
	EXPECT_EQ( xml.find( "<failure", xml.find( "sizes.viewport" ) ), std::string::npos ) << "not run is no failure";
}
