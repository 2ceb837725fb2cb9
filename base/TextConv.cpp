#include "base/TextConv.h"

#include <windows.h>

namespace twi {
namespace {

std::wstring MultiToWide(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string WideToMulti(UINT codePage, std::wstring_view text) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

}  // namespace

std::wstring ToWide(std::string_view utf8) { return MultiToWide(CP_UTF8, utf8); }
std::string ToUtf8(std::wstring_view wide) { return WideToMulti(CP_UTF8, wide); }
std::string AnsiToUtf8(std::string_view ansi) { return ToUtf8(MultiToWide(CP_ACP, ansi)); }
std::string Utf8ToAnsi(std::string_view utf8) { return WideToMulti(CP_ACP, ToWide(utf8)); }

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string UpperLocale(std::string_view text) {
  std::wstring wide = ToWide(text);
  if (!wide.empty()) CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
  return ToUtf8(wide);
}

std::string Trim(std::string_view text) {
  size_t b = text.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  size_t e = text.find_last_not_of(' ');
  return std::string(text.substr(b, e - b + 1));
}

bool ContainsNoCase(std::string_view haystack, std::string_view needle) {
  return UpperAscii(haystack).find(UpperAscii(needle)) != std::string::npos;
}

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  if (from.empty()) return text;
  size_t pos = 0;
  while ((pos = text.find(from, pos)) != std::string::npos) {
    text.replace(pos, from.size(), to);
    pos += to.size();
  }
  return text;
}

}  // namespace twi
