#pragma once
// ffglhost check's report as JSON: every result (with what the check does and its pictures), the
// timing and the plug-in's log, machine-readable whatever bytes the plug-in's texts hold.
#include "host/check/check_report.h"

#include <string>

namespace ffglhost
{
bool WriteJsonReport( const std::string& path, const CheckReport& report, const std::string& plugin, int strictness,
                      unsigned long long seed, std::string* error );

// A JSON string of any bytes: UTF-8 as it is, and each byte outside a well-formed UTF-8 sequence as the
// character of that number (\u00e9 for a Latin-1 e acute), so that the report always parses.
std::string JsonText( const std::string& text );
}
