#include "sys/ExecCmd.h"

#include <windows.h>

#include "base/DoEvents.h"
#include "base/TextConv.h"
#include "base/UniqueHandle.h"

namespace twi {

std::string QuotedArgument(const std::string& path) { return "\"" + path + "\""; }

std::string CommandLineOf(const std::string& program, const std::string& arguments) {
  std::string line = QuotedArgument(program);
  if (!arguments.empty()) line += " " + arguments;
  return line;
}

long ExecCmd(const std::string& commandLine) {
  DoEvents();
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  std::wstring line = ToWide(commandLine);
  BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE,
                                NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &process);
  DoEvents();
  if (!started) return -1;
  UniqueHandle thread(process.hThread), processHandle(process.hProcess);
  WaitForSingleObject(processHandle.Get(), INFINITE);
  DWORD exitCode = 0;
  GetExitCodeProcess(processHandle.Get(), &exitCode);
  return static_cast<long>(exitCode);
}

bool StartProgram(const std::string& commandLine, int show) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(show);
  PROCESS_INFORMATION process{};
  std::wstring line = ToWide(commandLine);
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS,
                      nullptr, nullptr, &startup, &process))
    return false;
  UniqueHandle thread(process.hThread), processHandle(process.hProcess);
  return true;
}

bool StartHidden(const std::string& commandLine) { return StartProgram(commandLine, SW_HIDE); }

}  // namespace twi
