#include "sys/SystemFolders.h"

#include <shlobj.h>

#include "diag/cSharedLogging.h"
#include "sys/RuntimeError.h"
#include "sys/TextConv.h"

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
  try {
    PIDLIST_ABSOLUTE list = nullptr;
    if (SHGetSpecialFolderLocation(hwnd, folderId, &list) != S_OK || !list) return "";
    wchar_t buffer[261] = {};
    BOOL ok = SHGetPathFromIDListW(list, buffer);
    CoTaskMemFree(list);
    if (ok) result = CutAtNul(buffer, 261) + "\\";
  } catch (const RuntimeError& e) {
    TheLog().AddAction(e.Description() + " (" + std::to_string(e.Number()) + ")",
                       "GetSpecialFolder", "cGetSpecialFolder");
  }
  return result;
}

}  // namespace twi
