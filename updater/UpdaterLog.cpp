#include "updater/UpdaterLog.h"

#include <windows.h>

#include <cstdio>

#include "base/TextConv.h"
#include "base/UniqueHandle.h"

namespace twi::updater {

void UpdaterLog::Write(const std::string& text) const {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u ", now.wYear, now.wMonth,
                now.wDay, now.wHour, now.wMinute, now.wSecond);
  std::string line = Utf8ToAnsi(stamp + text) + "\r\n";
  UniqueHandle file(CreateFileW(ToWide(path_).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  DWORD written = 0;
  WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace twi::updater
