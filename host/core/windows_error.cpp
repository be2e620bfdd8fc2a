#include "host/core/windows_error.h"

#include <windows.h>

namespace ffglhost
{
std::string WindowsErrorText( unsigned long code )
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
