#include "base/FileSystem.h"

#include <windows.h>

#include <vector>

#include "base/FindHandle.h"
#include "base/RuntimeError.h"
#include "base/TextConv.h"
#include "base/cSharedOSInfo.h"

namespace twi {

bool IsExistingFile(const std::string& path) {
  if (path.empty()) return false;
  FindHandle find(path);
  return find.Found() && (find.Data().dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

unsigned long MakeWritable(const std::string& path) {
  std::wstring wide = ToWide(path);
  DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) == 0)
    return 0;
  return SetFileAttributesW(wide.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY) ? 0
                                                                                  : GetLastError();
}

unsigned long RemoveFile(const std::string& path) {
  if (!IsExistingFile(path)) return 0;
  MakeWritable(path);
  return DeleteFileW(ToWide(path).c_str()) ? 0 : GetLastError();
}

long long FileLen(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(ToWide(path).c_str(), GetFileExInfoStandard, &data))
    throw RuntimeError::FromLastError();
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
    throw RuntimeError::Numbered(err::FileNotFound);
  return static_cast<long long>((static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) |
                                data.nFileSizeLow);
}

unsigned long ReplaceFileWith(const std::string& replacement, const std::string& destination) {
  std::wstring from = ToWide(replacement), to = ToWide(destination);
  if (!TheOSInfo().IsWindows95()) {
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)
               ? 0
               : GetLastError();
  }
  if (IsExistingFile(destination) && !DeleteFileW(to.c_str())) return GetLastError();
  return MoveFileW(from.c_str(), to.c_str()) ? 0 : GetLastError();
}

void RemoveTree(const std::string& path) {
  std::wstring wide = ToWide(path);
  DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    RemoveFile(path);
    return;
  }
  std::vector<std::string> names;
  FindHandle find(path + "\\*");
  for (bool more = find.Found(); more; more = find.Next()) {
    std::wstring name = find.Data().cFileName;
    if (name != L"." && name != L"..") names.push_back(ToUtf8(name));
  }
  for (const std::string& name : names) RemoveTree(path + "\\" + name);
  SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryW(wide.c_str());
}

std::string WithTrailingBackslash(const std::string& path) {
  return path.empty() || path.back() == '\\' ? path : path + "\\";
}

}  // namespace twi
