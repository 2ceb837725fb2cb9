#include "base/FileSystem.h"

#include <windows.h>

#include "base/FindHandle.h"
#include "base/TextConv.h"

namespace twi {

bool IsExistingFile(const std::string& path) {
  if (path.empty()) return false;
  FindHandle find(path);
  return find.Found() && (find.Data().dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

unsigned long RemoveFile(const std::string& path) {
  if (!IsExistingFile(path)) return 0;
  std::wstring wide = ToWide(path);
  SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
  return DeleteFileW(wide.c_str()) ? 0 : GetLastError();
}

std::string WithTrailingBackslash(const std::string& path) {
  return path.empty() || path.back() == '\\' ? path : path + "\\";
}

}  // namespace twi
