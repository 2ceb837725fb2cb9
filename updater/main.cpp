// Updater.exe: replaces the install center with the update package it
// downloaded, then starts it again. Started by the install center as
// "Updater.exe <its main window's caption>" just before it ends.
#include <windows.h>
#include <tlhelp32.h>

#include "base/AppInfo.h"
#include "base/TextConv.h"
#include "base/UniqueHandle.h"
#include "updater/UpdateRun.h"

namespace {

// Everything after the program name: the caption, blanks and all, unquoted.
std::string CaptionFromCommandLine() {
  std::wstring line = GetCommandLineW();
  size_t i = 0;
  if (!line.empty() && line[0] == L'"') {
    i = line.find(L'"', 1);
    i = i == std::wstring::npos ? line.size() : i + 1;
  } else {
    while (i < line.size() && line[i] != L' ' && line[i] != L'\t') ++i;
  }
  if (i < line.size()) ++i;  // the one blank after the program name
  return twi::ToUtf8(line.substr(std::min(i, line.size())));
}

// The process that started us: the install center, which we wait for.
unsigned long ParentProcessId() {
  twi::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  const DWORD self = GetCurrentProcessId();
  for (bool more = snapshot && Process32FirstW(snapshot.Get(), &entry); more;
       more = Process32NextW(snapshot.Get(), &entry))
    if (entry.th32ProcessID == self) return entry.th32ParentProcessID;
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  twi::updater::UpdateRun run(twi::AppFolder(), CaptionFromCommandLine(), ParentProcessId());
  run.Tell = [](const std::string& message) {
    MessageBoxW(nullptr, twi::ToWide(message).c_str(),
                twi::ToWide(std::string(twi::AppTitle()) + " Updater").c_str(),
                MB_OK | MB_SETFOREGROUND);
  };
  return run.Run();
}
