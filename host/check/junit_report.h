#pragma once
// ffglhost check's results as JUnit XML, the report CI servers show natively: one test case per check,
// its group as the class name, with the seconds it took; a warning passes with its text in system-out,
// a failure fails with its reason, a check that never ran (its group ended early, or nothing loaded) is
// an error naming why, and the plug-in's log is the suite's system-out. The shape is the one Jenkins,
// GitLab and GitHub's reporters read (tests/host/check/junit.xsd).
#include "host/check/check_report.h"

#include <string>

namespace ffglhost
{
bool WriteJUnit( const std::string& path, const CheckReport& report, const std::string& plugin, int strictness,
                 unsigned long long seed, std::string* error );

// Text as XML character data or an attribute value: markup characters escaped, and what XML 1.0
// cannot hold (control characters, bytes that are not UTF-8) as '?'.
std::string XmlText( const std::string& text );
}
