#pragma once
// Whether a plug-in's text is UTF-8: FFGL texts are 8-bit with no stated encoding, and the reports
// (JSON, JUnit XML) must stay readable whatever bytes a plug-in hands out.
#include <cstddef>
#include <string>

namespace ffglhost
{
// The length of the well-formed UTF-8 sequence starting at text[ at ] (1 for ASCII), 0 when it is not
// one: a stray continuation byte, a sequence cut short, an overlong form, a surrogate or a code point
// past U+10FFFF.
size_t Utf8Length( const std::string& text, size_t at );
}
