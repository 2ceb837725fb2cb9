#pragma once
// The one pair of conversions between the program's UTF-8 strings and the
// Windows boundary (UTF-16 for the W functions, the ANSI code page for files
// that must stay byte-compatible with other programs).
#include <string>
#include <string_view>

namespace twi {

std::wstring ToWide(std::string_view utf8);
std::string ToUtf8(std::wstring_view wide);

// ANSI code page (CP_ACP) bytes <-> UTF-8.
std::string AnsiToUtf8(std::string_view ansi);
std::string Utf8ToAnsi(std::string_view utf8);

// Case and trimming helpers used across the program. UpperAscii changes a-z
// only, which is what the catalogue keys and the markers rely on; UpperLocale
// upper-cases every letter as the user's locale does (CharUpperW), for names
// and words that users write in their own language (settings, true/false).
std::string UpperAscii(std::string_view text);
std::string UpperLocale(std::string_view text);
std::string Trim(std::string_view text);  // blanks (spaces) only, both ends
bool ContainsNoCase(std::string_view haystack, std::string_view needle);
std::string ReplaceAll(std::string text, std::string_view from, std::string_view to);

}  // namespace twi
