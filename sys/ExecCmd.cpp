#include "sys/ExecCmd.h"

#include <windows.h>

#include "sys/TextConv.h"
#include "sys/UniqueHandle.h"
#include "ui/DoEvents.h"

namespace twi {

long ExecCmd(const std::string& commandLine) {
  ui::DoEvents();
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  std::wstring line = ToWide(commandLine);
  BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE,
                                NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &process);
  ui::DoEvents();
  if (!started) return -1;
  UniqueHandle thread(process.hThread), processHandle(process.hProcess);
  WaitForSingleObject(processHandle.Get(), INFINITE);
  DWORD exitCode = 0;
  GetExitCodeProcess(processHandle.Get(), &exitCode);
  return static_cast<long>(exitCode);
}

}  // namespace twi
