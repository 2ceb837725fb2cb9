#include "sys/AppInfo.h"

#include <windows.h>

#include "sys/TextConv.h"

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

}  // namespace twi
