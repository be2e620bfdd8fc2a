#pragma once
// What Windows says about an error code, for the messages of the Windows sources (built on Windows only).
#include <string>

namespace ffglhost
{
// FormatMessageA's text for the code in the system's language, its line end and full stop trimmed, and
// the number: "%1 is not a valid Win32 application (error 193)"; "error 193" when Windows has no text.
std::string WindowsErrorText( unsigned long code );
}
