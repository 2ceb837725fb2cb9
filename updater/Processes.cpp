#include "updater/Processes.h"

#include <windows.h>
#include <tlhelp32.h>

#include "base/ProcessImage.h"
#include "base/TextConv.h"
#include "base/UniqueHandle.h"

namespace twi::updater {
namespace {

std::string FullPathUpper(const std::string& path) {
  wchar_t full[MAX_PATH] = {};
  GetFullPathNameW(ToWide(path).c_str(), MAX_PATH, full, nullptr);
  return UpperAscii(ToUtf8(full));
}

// Calls `visit` for each process until it returns true; whether one did.
template <class Visit>
bool AnyProcess(Visit visit) {
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (bool more = snapshot && Process32FirstW(snapshot.Get(), &entry); more;
       more = Process32NextW(snapshot.Get(), &entry))
    if (visit(entry)) return true;
  return false;
}

struct WindowSearch {
  DWORD pid;
  bool found = false;
};

BOOL CALLBACK LookAtWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  search->found = owner == search->pid && IsWindowVisible(window);
  return search->found ? FALSE : TRUE;
}

}  // namespace

unsigned long ParentProcessId() {
  const DWORD self = GetCurrentProcessId();
  unsigned long parent = 0;
  AnyProcess([&](const PROCESSENTRY32W& entry) {
    if (entry.th32ProcessID != self) return false;
    parent = entry.th32ParentProcessID;
    return true;
  });
  return parent;
}

bool RunsProgram(unsigned long pid, const std::string& exePath) {
  std::string image = ProcessImagePath(pid);
  return !image.empty() && FullPathUpper(image) == FullPathUpper(exePath);
}

bool IsProgramRunning(const std::string& exePath) {
  return AnyProcess(
      [&](const PROCESSENTRY32W& entry) { return RunsProgram(entry.th32ProcessID, exePath); });
}

}  // namespace twi::updater

namespace twi::updater {

bool ShowsAWindow(unsigned long pid) {
  WindowSearch search{pid};
  EnumWindows(&LookAtWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace twi::updater
