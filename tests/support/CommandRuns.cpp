#include "support/CommandRuns.h"

#include "base/Clock.h"
#include "base/TextConv.h"
#include "support/InstallerSupport.h"
#include "support/OtherPrograms.h"
#include "support/StandIns.h"
#include "support/TestServers.h"

namespace twitest {

ProgramFolder::ProgramFolder() {
  CopyFileW(twi::ToWide(BinDir() + "\\TWInstall.exe").c_str(), twi::ToWide(Exe()).c_str(), FALSE);
  CopyFileW(twi::ToWide(StandInPath("msinet.ocx")).c_str(), twi::ToWide(File("Msinet.oc_")).c_str(),
            FALSE);
  WriteFileBytes(File("TWInstaller.ini"), "MainServer," + ServedUrl("main/") +
                                              "\r\nSecondaryServer," + ServedUrl("second/") +
                                              "\r\n");
}

std::vector<std::string> ProgramFolder::LogTexts() const {
  std::vector<std::string> texts;
  for (const std::string& line : SplitLines(Log())) texts.push_back(LogTextOf(line));
  return texts;
}

bool ProgramFolder::Logged(const std::string& text) const {
  for (const std::string& logged : LogTexts())
    if (logged == text) return true;
  return false;
}

StartedCommand StartCommand(const std::string& exe, const std::string& arguments) {
  StartedCommand command;
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return command;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  command.output.Reset(readEnd);
  twi::UniqueHandle writer(writeEnd);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  startup.hStdInput = nullptr;
  PROCESS_INFORMATION process{};
  std::wstring line = L"\"" + twi::ToWide(exe) + L"\" " + twi::ToWide(arguments);
  std::wstring folder = twi::ToWide(exe.substr(0, exe.rfind('\\')));
  if (!StartProcess(line, 0, folder.c_str(), startup, process, TRUE)) return command;
  CloseHandle(process.hThread);
  command.process.Reset(process.hProcess);
  command.pid = process.dwProcessId;
  return command;
}

namespace {

void ReadAvailable(HANDLE pipe, std::string& into) {
  DWORD available = 0;
  while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
    std::string chunk(available, '\0');
    DWORD got = 0;
    if (!ReadFile(pipe, chunk.data(), available, &got, nullptr) || got == 0) return;
    into.append(chunk, 0, got);
  }
}

void NoteWindows(DWORD pid, std::vector<std::string>& seen) {
  for (HWND window : TopWindowsOf(pid)) {
    std::string name = ClassOf(window) + " '" + CaptionOf(window) + "'";
    bool known = false;
    for (const std::string& s : seen) known = known || s == name;
    if (!known) seen.push_back(name);
  }
}

}  // namespace

CommandResult FinishCommand(StartedCommand& command, std::chrono::milliseconds timeout) {
  CommandResult result;
  result.started = static_cast<bool>(command.process);
  result.pid = command.pid;
  if (!result.started) return result;
  const double deadline = twi::ClockSeconds() + timeout.count() / 1000.0;
  while (twi::ClockSeconds() < deadline) {
    NoteWindows(command.pid, result.windowsSeen);
    ReadAvailable(command.output.Get(), result.output);
    if (WaitForSingleObject(command.process.Get(), 20) == WAIT_OBJECT_0) {
      result.ended = true;
      break;
    }
  }
  if (!result.ended) {
    TerminateProcess(command.process.Get(), 9);
    WaitForSingleObject(command.process.Get(), 10000);
  }
  GetExitCodeProcess(command.process.Get(), &result.exitCode);
  ReadAvailable(command.output.Get(), result.output);
  return result;
}

CommandResult RunCommand(const std::string& exe, const std::string& arguments,
                         std::chrono::milliseconds timeout) {
  StartedCommand command = StartCommand(exe, arguments);
  return FinishCommand(command, timeout);
}

std::string Dump(const std::vector<std::string>& lines) {
  std::string dump;
  for (const std::string& line : lines) dump += line + "\n";
  return dump;
}

}  // namespace twitest
