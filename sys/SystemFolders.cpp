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
