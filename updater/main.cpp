// Updater.exe: replaces the install center with the update package it
// downloaded, then starts it again. Started by the install center as
// `"<program folder>\Updater.exe" <its main window's caption>` just before it
// ends.
#include <windows.h>
#include <tlhelp32.h>

#include "base/AppInfo.h"
#include "base/TextConv.h"
#include "base/UniqueHandle.h"
#include "updater/CommandLine.h"
#include "updater/UpdateRun.h"

namespace {

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

std::wstring ProgramPath() {
  wchar_t path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::wstring(path, length);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  twi::updater::UpdateRun run(
      twi::AppFolder(), twi::updater::CaptionFromCommandLine(GetCommandLineW(), ProgramPath()),
      ParentProcessId());
  run.Tell = [](const std::string& message) {
    MessageBoxW(nullptr, twi::ToWide(message).c_str(),
                twi::ToWide(std::string(twi::AppTitle()) + " Updater").c_str(),
                MB_OK | MB_SETFOREGROUND);
  };
  return run.Run();
}
