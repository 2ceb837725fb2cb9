#include "updater/CommandLine.h"

#include "base/TextConv.h"

namespace twi::updater {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// Whether `line` begins with `path` (letter case aside) and the path ends there.
bool StartsWithPath(std::wstring_view line, std::wstring_view path) {
  if (path.empty() || line.size() < path.size()) return false;
  if (line.size() > path.size() && !IsBlank(line[path.size()])) return false;
  return UpperAscii(ToUtf8(line.substr(0, path.size()))) == UpperAscii(ToUtf8(path));
}

std::wstring_view WithoutExtension(std::wstring_view path) {
  size_t dot = path.find_last_of(L'.'), slash = path.find_last_of(L'\\');
  return dot == std::wstring_view::npos || (slash != std::wstring_view::npos && dot < slash)
             ? path
             : path.substr(0, dot);
}

// Where the program's path ends on the command line.
size_t EndOfProgramPath(std::wstring_view line, std::wstring_view programPath) {
  if (!line.empty() && line[0] == L'"') {
    size_t quote = line.find(L'"', 1);
    return quote == std::wstring_view::npos ? line.size() : quote + 1;
  }
  for (std::wstring_view path : {programPath, WithoutExtension(programPath)})
    if (StartsWithPath(line, path)) return path.size();
  size_t end = 0;
  while (end < line.size() && !IsBlank(line[end])) ++end;
  return end;
}

}  // namespace

std::string CaptionFromCommandLine(std::wstring_view line, std::wstring_view programPath) {
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  size_t i = EndOfProgramPath(line, programPath);
  if (i < line.size() && IsBlank(line[i])) ++i;  // the one blank after the program's path
  return ToUtf8(line.substr(i));
}

}  // namespace twi::updater
