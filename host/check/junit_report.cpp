#include "host/check/junit_report.h"

#include "host/check/utf8.h"

#include <fstream>

namespace ffglhost
{
namespace
{
std::string GroupOf( const std::string& check )
{
	return check.substr( 0, check.find( '.' ) );
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
	std::ofstream file( path, std::ios::binary );
	if( !file )
	{
		*error = "cannot write " + path;
		return false;
	}
	const std::string tests    = std::to_string( report.Results().size() );
	const std::string failures = std::to_string( report.Count( CheckStatus::kFail ) );
	const std::string counts   = "tests=\"" + tests + "\" failures=\"" + failures + "\" errors=\"0\" skipped=\"0\"";
	file << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites name=\"ffglhost check\" " << counts << ">\n"
	     << "  <testsuite name=\"" << XmlText( "ffglhost check " + plugin ) << "\" " << counts << ">\n"
	     << "    <properties>\n      <property name=\"plugin\" value=\"" << XmlText( plugin ) << "\"/>\n"
	     << "      <property name=\"strictness\" value=\"" << strictness << "\"/>\n"
	     << "      <property name=\"seed\" value=\"" << seed << "\"/>\n    </properties>\n";
	for( const CheckResult& result : report.Results() )
	{
		file << "    <testcase classname=\"ffglhost.check." << XmlText( GroupOf( result.name ) ) << "\" name=\""
		     << XmlText( result.name ) << "\">\n";
		std::string out = result.status == CheckStatus::kWarn ? "WARN: " + ReasonText( result ) + "\n" : std::string();
		for( const std::string& picture : report.Artifacts( result.name ) )
			out += "picture: " + picture + "\n";
		if( result.status == CheckStatus::kFail )
			file << "      <failure message=\"" << XmlText( ReasonText( result ) ) << "\">"
			     << XmlText( ReasonText( result ) ) << "</failure>\n";
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
	if( !file.good() )
	{
		*error = "cannot write " + path;
		return false;
	}
	return true;
}
}
