#pragma once
// Turning HTML character references back into characters, in place of the
// maker's closed library twHtml.dll. cHtmlToChar is its C entry point: the
// caller passes a text in the ANSI code page and a buffer of blanks twice as
// long, and reads the buffer up to its first zero byte. It decodes the named
// entities of HTML 4's Latin-1 set and those for the Windows-1252 punctuation
// (&ndash;, &euro;, ...), &quot; &amp; &lt; &gt; &apos;, and numeric references
// (&#223; &#xDF;) by their Unicode code point. &nbsp; becomes a blank: this
// program writes a blank as &nbsp;. A character the ANSI code page lacks
// becomes "?"; anything that is not a complete reference stays as it is. The
// result is never longer than the text.
#include <cstddef>
#include <string>
#include <string_view>

#include <windows.h>

extern "C" long WINAPI cHtmlToChar(const char* text, char* buffer);

namespace twi::twhtml {

// The length of the complete reference that starts at text[pos] ("&lt;",
// "&#223;", "&#xDF;") and that cHtmlToChar decodes; 0 when none starts there.
std::size_t ReferenceLengthAt(std::string_view text, std::size_t pos);
// The HTML 4 entity name of a Unicode code point ("eacute"), or null.
const char* EntityNameOf(unsigned codePoint);
// cHtmlToChar on a std::string: ANSI text in, ANSI text out.
std::string DecodeReferences(std::string_view ansi);

}  // namespace twi::twhtml
