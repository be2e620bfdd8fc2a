#pragma once
// What Windows says about an error code, for the messages of the Windows sources (built on Windows
// only). Header-only, so that the reference runtime, which links nothing of the host, words its
// errors as the host does.
#include <string>
#include <windows.h>

namespace ffglhost
{
// FormatMessageA's text for the code in the system's language, its line end and full stop trimmed, and
// the number: "%1 is not a valid Win32 application (error 193)"; "error 193" when Windows has no text.
inline std::string WindowsErrorText( unsigned long code )
{
	char text[ 512 ];
	const DWORD length = FormatMessageA( FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
	                                     text, sizeof( text ), nullptr );
	std::string words( text, length );
	while( !words.empty() && std::string( "\r\n. " ).find( words.back() ) != std::string::npos )
		words.pop_back();
	const std::string number = "error " + std::to_string( code );
	return words.empty() ? number : words + " (" + number + ")";
}
}
