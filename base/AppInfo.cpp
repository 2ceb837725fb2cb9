#include "base/AppInfo.h"

#include <windows.h>

#include <vector>

#include "base/TextConv.h"

namespace twi {

std::string AppExePath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n < buffer.size()) {
      buffer.resize(n);
      return ToUtf8(buffer);
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::string AppFolder() {
  std::string path = AppExePath();
  size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string AppExeName() {
  std::string path = AppExePath();
  size_t slash = path.find_last_of("\\/");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

AppVersionNumbers ReadAppVersion() {
  AppVersionNumbers numbers;
  std::wstring path = ToWide(AppExePath());
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (!size) return numbers;
  std::vector<unsigned char> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return numbers;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info)
    return numbers;
  numbers.major = HIWORD(info->dwFileVersionMS);
  numbers.minor = LOWORD(info->dwFileVersionMS);
  numbers.revision = LOWORD(info->dwFileVersionLS);
  return numbers;
}

const std::string& AppVersionText() {
  static const std::string text = [] {
    AppVersionNumbers v = ReadAppVersion();
    return std::to_string(v.major) + "." + std::to_string(v.minor) + "." +
           std::to_string(v.revision);
  }();
  return text;
}

}  // namespace twi
