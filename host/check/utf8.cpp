#include "host/check/utf8.h"

namespace ffglhost
{
size_t Utf8Length( const std::string& text, size_t at )
{
	const unsigned char c = static_cast< unsigned char >( text[ at ] );
	const size_t length   = c < 0x80                 ? 1
	                        : c >= 0xC2 && c <= 0xDF ? 2
	                        : c >= 0xE0 && c <= 0xEF ? 3
	                        : c >= 0xF0 && c <= 0xF4 ? 4
	                                                 : 0;
	if( length == 0 || at + length > text.size() )
		return 0;
	for( size_t i = 1; i < length; ++i )
		if( ( static_cast< unsigned char >( text[ at + i ] ) & 0xC0 ) != 0x80 )
			return 0;
	// The second byte's range after E0, ED, F0 and F4 excludes overlong forms, surrogates and code
	// points past U+10FFFF.
	const unsigned char second = length > 1 ? static_cast< unsigned char >( text[ at + 1 ] ) : 0;
	if( ( c == 0xE0 && second < 0xA0 ) || ( c == 0xED && second > 0x9F ) || ( c == 0xF0 && second < 0x90 ) ||
	    ( c == 0xF4 && second > 0x8F ) )
		return 0;
	return length;
}
}
