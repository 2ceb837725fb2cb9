#include "support/OtherPrograms.h"

#include <tlhelp32.h>

#include "base/ProcessImage.h"
#include "base/TextConv.h"
#include "support/TestSupport.h"

namespace twitest {
namespace {

std::string ProgramOf(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return twi::ProcessImagePath(pid);
}

std::string Normalised(const std::string& path) {
  wchar_t full[MAX_PATH] = {};
  GetFullPathNameW(twi::ToWide(path).c_str(), MAX_PATH, full, nullptr);
  return twi::UpperAscii(twi::ToUtf8(full));
}

template <class Visit>
BOOL CALLBACK VisitWindow(HWND window, LPARAM data) {
  return (*reinterpret_cast<Visit*>(data))(window) ? TRUE : FALSE;
}

template <class Visit>
void ForEachTopWindow(Visit visit) {
  EnumWindows(&VisitWindow<Visit>, reinterpret_cast<LPARAM>(&visit));
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
  return TRUE;
}

}  // namespace

StartedProgram::StartedProgram(const std::string& exePath, const std::string& arguments,
                               const std::string& folder) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring line = L"\"" + twi::ToWide(exePath) + L"\"";
  if (!arguments.empty()) line += L" " + twi::ToWide(arguments);
  std::wstring where = twi::ToWide(folder);
  if (!StartProcess(line, 0, where.empty() ? nullptr : where.c_str(), startup, info))
    return;
  twi::UniqueHandle thread(info.hThread);
  process_.Reset(info.hProcess);
  pid_ = info.dwProcessId;
}

StartedProgram::~StartedProgram() {
  if (process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT)
    TerminateProcess(process_.Get(), 9);
}

bool StartedProgram::WaitForExit(std::chrono::milliseconds timeout, DWORD& code) {
  if (!process_ ||
      WaitForSingleObject(process_.Get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
    return false;
  GetExitCodeProcess(process_.Get(), &code);
  return true;
}

bool StartedProgram::Kill() {
  return process_ && TerminateProcess(process_.Get(), 9) &&
         WaitForSingleObject(process_.Get(), 30000) == WAIT_OBJECT_0;
}

std::vector<DWORD> ChildProcessesOf(DWORD pid) {
  std::vector<DWORD> children;
  twi::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (bool more = snapshot && Process32FirstW(snapshot.Get(), &entry); more;
       more = Process32NextW(snapshot.Get(), &entry))
    if (entry.th32ParentProcessID == pid && entry.th32ProcessID != pid)
      children.push_back(entry.th32ProcessID);
  return children;
}

bool KillProcess(DWORD pid) {
  twi::UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
  return process && TerminateProcess(process.Get(), 9) &&
         WaitForSingleObject(process.Get(), 30000) == WAIT_OBJECT_0;
}

std::vector<HWND> TopWindowsOf(DWORD pid) {
  std::vector<HWND> tops;
  ForEachTopWindow([&](HWND window) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == pid && IsWindowVisible(window)) tops.push_back(window);
    return true;
  });
  return tops;
}

HWND WaitForWindowOf(const std::string& exePath, const std::string& caption,
                     std::chrono::milliseconds timeout, const std::string& cls) {
  const std::string program = Normalised(exePath);
  auto end = std::chrono::steady_clock::now() + timeout;
  do {
    HWND found = nullptr;
    ForEachTopWindow([&](HWND window) {
      if (!IsWindowVisible(window)) return true;
      if (!caption.empty() && CaptionOf(window) != caption) return true;
      if (!cls.empty() && ClassOf(window) != cls) return true;
      if (Normalised(ProgramOf(window)) != program) return true;
      found = window;
      return false;
    });
    if (found) return found;
    Sleep(50);
  } while (std::chrono::steady_clock::now() < end);
  return nullptr;
}

std::string CaptionOf(HWND window) {
  wchar_t buffer[512] = {};
  GetWindowTextW(window, buffer, 512);
  return twi::ToUtf8(buffer);
}

std::string TextOf(HWND window) {
  wchar_t buffer[1024] = {};
  SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer));
  return twi::ToUtf8(buffer);
}

std::string ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return twi::ToUtf8(name);
}

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> all;
  EnumChildWindows(parent, &CollectWindow, reinterpret_cast<LPARAM>(&all));
  return all;
}

std::vector<std::string> ChildTexts(HWND window) {
  std::vector<std::string> texts;
  for (HWND child : Descendants(window)) texts.push_back(CaptionOf(child));
  return texts;
}

HWND ChildWithText(HWND parent, const std::string& cls, const std::string& text) {
  for (HWND child : Descendants(parent))
    if (ClassOf(child) == cls && TextOf(child) == text) return child;
  return nullptr;
}

bool CloseAndWaitForExit(HWND window, std::chrono::milliseconds timeout) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  twi::UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, pid));
  PostMessageW(window, WM_CLOSE, 0, 0);
  return process && WaitForSingleObject(process.Get(), static_cast<DWORD>(timeout.count())) ==
                        WAIT_OBJECT_0;
}

}  // namespace twitest
