#include "host/check/junit_report.h"

#include "host/check/utf8.h"
#include "host/core/output_file.h"

#include <cstdio>
#include <sstream>

namespace ffglhost
{
namespace
{
std::string GroupOf( const std::string& check )
{
	return check.substr( 0, check.find( '.' ) );
}

// Seconds as JUnit readers take them: a decimal point, never a locale's comma.
std::string SecondsText( double milliseconds )
{
	char text[ 32 ];
	std::snprintf( text, sizeof( text ), "%.3f", milliseconds / 1000.0 );
	return text;
}
}

std::string XmlText( const std::string& text )
{
	std::string out;
	for( size_t i = 0; i < text.size(); )
	{
		const char c        = text[ i ];
		const size_t length = Utf8Length( text, i );
		if( length > 1 )
		{
			out.append( text, i, length );
			i += length;
			continue;
		}
		++i;
		switch( c )
		{
		case '&':
			out += "&amp;";
			break;
		case '<':
			out += "&lt;";
			break;
		case '>':
			out += "&gt;";
			break;
		case '"':
			out += "&quot;";
			break;
		case '\'':
			out += "&apos;";
			break;
		default:
			out += length == 1 && ( static_cast< unsigned char >( c ) >= 0x20 || c == '\n' || c == '\t' ) ? c : '?';
		}
	}
	return out;
}

bool WriteJUnit( const std::string& path, const CheckReport& report, const std::string& plugin, int strictness,
                 unsigned long long seed, std::string* error )
{
	// A check that never ran is an error of the run, not a failure of the plug-in.
	int failures = 0, errors = 0;
	for( const CheckResult& result : report.Results() )
		if( result.status == CheckStatus::kFail )
			++( result.ran ? failures : errors );
	const std::string counts = "tests=\"" + std::to_string( report.Results().size() ) + "\" failures=\"" +
	                           std::to_string( failures ) + "\" errors=\"" + std::to_string( errors ) + "\" time=\"" +
	                           SecondsText( report.Seconds() * 1000.0 ) + "\"";
	std::ostringstream file;
	file << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites name=\"ffglhost check\" " << counts << ">\n"
	     << "  <testsuite name=\"" << XmlText( "ffglhost check " + plugin ) << "\" " << counts << " skipped=\"0\">\n"
	     << "    <properties>\n      <property name=\"plugin\" value=\"" << XmlText( plugin ) << "\"/>\n"
	     << "      <property name=\"strictness\" value=\"" << strictness << "\"/>\n"
	     << "      <property name=\"seed\" value=\"" << seed << "\"/>\n    </properties>\n";
	for( const CheckResult& result : report.Results() )
	{
		file << "    <testcase classname=\"ffglhost.check." << XmlText( GroupOf( result.name ) ) << "\" name=\""
		     << XmlText( result.name ) << "\" time=\"" << SecondsText( result.milliseconds ) << "\">\n";
		std::string out = result.status == CheckStatus::kWarn ? "WARN: " + ReasonText( result ) + "\n" : std::string();
		for( const std::string& picture : report.Artifacts( result.name ) )
			out += "picture: " + picture + "\n";
		const std::string reason = XmlText( ReasonText( result ) );
		const char* const tag    = result.ran ? "failure" : "error";
		if( result.status == CheckStatus::kFail )
			file << "      <" << tag << " message=\"" << reason << "\">" << reason << "</" << tag << ">\n";
		if( !out.empty() )
			file << "      <system-out>" << XmlText( out ) << "</system-out>\n";
		file << "    </testcase>\n";
	}
	std::string log;
	for( const std::string& line : report.LogLines() )
		log += line + "\n";
	if( !log.empty() )
		file << "    <system-out>" << XmlText( log ) << "</system-out>\n";
	file << "  </testsuite>\n</testsuites>\n";
	return WriteWholeFile( path, file.str(), error );
}
}
