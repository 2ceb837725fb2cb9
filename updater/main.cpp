// Updater.exe: replaces the install center with the update package it
// downloaded, then starts it again. Started by the install center as
// `"<program folder>\Updater.exe" <its main window's caption>` just before it
// ends.
#include <windows.h>

#include "base/AppInfo.h"
#include "base/TextConv.h"
#include "updater/CommandLine.h"
#include "updater/Processes.h"
#include "updater/UpdateRun.h"

namespace {

std::wstring ProgramPath() {
  wchar_t path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::wstring(path, length);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  twi::updater::UpdateRun run(
      twi::AppFolder(), twi::updater::CaptionFromCommandLine(GetCommandLineW(), ProgramPath()),
      twi::updater::ParentProcessId());
  run.Tell = [](const std::string& message) {
    MessageBoxW(nullptr, twi::ToWide(message).c_str(),
                twi::ToWide(std::string(twi::AppTitle()) + " Updater").c_str(),
                MB_OK | MB_SETFOREGROUND | MB_TOPMOST);
  };
  return run.Run();
}
