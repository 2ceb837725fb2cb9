#include "support/ShellRecorder.h"

#include <windows.h>

#include "base/TextConv.h"

namespace twitest {
namespace {

constexpr wchar_t kProgId[] = L"TWInstallTests.ShellRecorder";

bool ReadDefault(const std::wstring& key, std::wstring& value) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
    return false;
  wchar_t buffer[2048] = {};
  DWORD size = sizeof buffer - sizeof(wchar_t), type = 0;
  LONG result = RegQueryValueExW(handle, nullptr, nullptr, &type,
                                 reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(handle);
  if (result != ERROR_SUCCESS) return false;
  value = buffer;
  return true;
}

void WriteDefault(const std::wstring& key, const std::wstring& value) {
  HKEY handle = nullptr;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                      nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
}

}  // namespace

ShellRecorder::ShellRecorder() : recordFile_(folder_.File("opened.txt")) {
  std::wstring command = L"\"" + twi::ToWide(ProbeExe()) + L"\" opened \"" +
                         twi::ToWide(recordFile_) + L"\" \"%1\"";
  SetDefault(std::wstring(kProgId) + L"\\shell\\open\\command", command);
  SetDefault(L"mailto\\shell\\open\\command", command);
  SetDefault(L".txt", kProgId);
  SetDefault(L".htm", kProgId);
}

ShellRecorder::~ShellRecorder() {
  for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
    if (it->existed)
      WriteDefault(it->key, it->value);
    else
      RegDeleteKeyW(HKEY_CLASSES_ROOT, it->key.c_str());
  }
}

void ShellRecorder::SetDefault(const std::wstring& key, const std::wstring& value) {
  Saved saved{key, false, L""};
  saved.existed = ReadDefault(key, saved.value);
  saved_.push_back(saved);
  WriteDefault(key, value);
}

std::vector<std::string> ShellRecorder::Opened(size_t count, std::chrono::milliseconds timeout) {
  std::vector<std::string> lines;
  PumpUntil(
      [&] {
        lines = SplitLines(ReadFileBytes(recordFile_));
        while (!lines.empty() && lines.back().empty()) lines.pop_back();
        return lines.size() >= count;
      },
      timeout);
  return lines;
}

}  // namespace twitest
