#include "install/OwnFiles.h"

#include <windows.h>

#include <array>

#include "base/AppInfo.h"
#include "base/TextConv.h"

namespace twi::install {
namespace {

constexpr std::array<const char*, 11> kOwnNames = {"TWInstall.exe",
                                                   "TWInstall.exe.previous",
                                                   "Updater.exe",
                                                   "updater.ini",
                                                   "updater.log",
                                                   "TWInstaller.ini",
                                                   "TWInstaller.ini.new",
                                                   "log.txt",
                                                   "Msinet.oc_",
                                                   "Help",
                                                   "Local"};

// The path as Windows resolves it: made full (which drops trailing dots and blanks),
// an existing file's short name made long, in capitals.
std::wstring Resolved(const std::string& path) {
  std::wstring wide = ToWide(path);
  std::wstring full(GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr) + 1, L'\0');
  full.resize(
      GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
  if (full.empty()) full = wide;
  std::wstring longName(GetLongPathNameW(full.c_str(), nullptr, 0) + 1, L'\0');
  longName.resize(
      GetLongPathNameW(full.c_str(), longName.data(), static_cast<DWORD>(longName.size())));
  std::wstring resolved = longName.empty() ? full : longName;
  CharUpperBuffW(resolved.data(), static_cast<DWORD>(resolved.size()));
  return resolved;
}

bool IsOrIsInside(const std::wstring& path, const std::wstring& own) {
  return path == own || (path.size() > own.size() && path.compare(0, own.size(), own) == 0 &&
                         path[own.size()] == L'\\');
}

}  // namespace

bool IsOwnFile(const std::string& path) {
  const std::wstring resolved = Resolved(path);
  if (IsOrIsInside(resolved, Resolved(AppExePath()))) return true;
  for (const char* name : kOwnNames)
    if (IsOrIsInside(resolved, Resolved(AppFolder() + "\\" + name))) return true;
  return false;
}

}  // namespace twi::install
