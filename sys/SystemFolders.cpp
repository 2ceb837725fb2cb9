#include "sys/SystemFolders.h"

#include <shlobj.h>

#include "base/CoTaskMem.h"
#include "base/TextConv.h"
#include "diag/TrapToLog.h"

namespace twi {
namespace {

std::string WithOneBackslash(std::string path) {
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return path + "\\";
}

std::string CutAtNul(const wchar_t* buffer, size_t size) {
  size_t n = 0;
  while (n < size && buffer[n]) ++n;
  return ToUtf8(std::wstring_view(buffer, n));
}

}  // namespace

std::string GetSystemFolder() {
  wchar_t buffer[256] = {};
  GetSystemDirectoryW(buffer, 255);
  return WithOneBackslash(CutAtNul(buffer, 256));
}

std::string GetWindowsFolder() {
  wchar_t buffer[256] = {};
  GetWindowsDirectoryW(buffer, 255);
  return WithOneBackslash(CutAtNul(buffer, 256));
}

namespace {

// Whether this 32-bit process runs on 64-bit Windows. Looked up, not imported: Windows
// XP before its second service pack has no IsWow64Process.
bool RunsUnderWow64() {
  using IsWow64Call = BOOL(WINAPI*)(HANDLE, PBOOL);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  auto isWow64 = reinterpret_cast<IsWow64Call>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")));
  BOOL wow64 = FALSE;
  return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

// The 32-bit system folder's own path under WoW64 (with one backslash), else "".
std::string Wow64SystemFolder() {
  if (!RunsUnderWow64()) return "";
  wchar_t buffer[256] = {};
  UINT length = GetSystemWow64DirectoryW(buffer, 255);
  if (length == 0 || length > 255) return "";
  return WithOneBackslash(CutAtNul(buffer, 256));
}

}  // namespace

std::string PathWithoutRedirection(const std::string& path) {
  const std::string system = GetSystemFolder();
  if (path.size() < system.size() || UpperAscii(path.substr(0, system.size())) != UpperAscii(system))
    return path;
  const std::string wow64 = Wow64SystemFolder();
  if (wow64.empty()) return path;
  return wow64 + path.substr(system.size());
}

std::string cSharedGetSpecialFolder::SystemTempFolder(HWND) const {
  wchar_t buffer[261] = {};
  GetTempPathW(260, buffer);
  std::string path = CutAtNul(buffer, 261);
  while (!path.empty() && path.back() == ' ') path.pop_back();
  return path;
}

std::string cSharedGetSpecialFolder::GetSpecialFolder(HWND hwnd, int folderId) const {
  std::string result;
  TrapToLog("GetSpecialFolder", "cGetSpecialFolder", [&] {
    PIDLIST_ABSOLUTE raw = nullptr;
    if (SHGetSpecialFolderLocation(hwnd, folderId, &raw) != S_OK || !raw) return;
    CoTaskMemPtr<ITEMIDLIST> list(raw);
    wchar_t buffer[261] = {};
    if (SHGetPathFromIDListW(list.get(), buffer)) result = CutAtNul(buffer, 261) + "\\";
  });
  return result;
}

}  // namespace twi
