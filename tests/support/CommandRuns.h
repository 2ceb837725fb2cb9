#pragma once
// Runs of the real TWInstall.exe from its command line, watched from outside: its
// exit code as Windows gives it (GetExitCodeProcess: all 32 bits, where Wine hands
// the Unix side only the low 8), what it wrote to its standard output, and every
// visible top-level window of its process seen while it ran (polled every 20 ms).
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace twitest {

struct CommandResult {
  bool started = false;
  bool ended = false;  // within the time given
  DWORD exitCode = 0;
  DWORD pid = 0;
  std::string output;
  std::vector<std::string> windowsSeen;  // "class 'caption'" of each window seen
};

// A program folder of a fresh computer: this build's TWInstall.exe, the Internet
// control delivered beside it as Msinet.oc_, and a settings file naming the maker's
// servers on the fixture server (PublishMakersServers lays them out).
class ProgramFolder {
 public:
  ProgramFolder();
  const std::string& Path() const { return folder_.Path(); }
  std::string File(const std::string& name) const { return folder_.File(name); }
  std::string Exe() const { return File("TWInstall.exe"); }
  std::string Log() const { return ReadFileBytes(File("log.txt")); }
  // The log's texts (the line numbers and times taken off), in order.
  std::vector<std::string> LogTexts() const;
  bool Logged(const std::string& text) const;

 private:
  ScratchFolder folder_;
};

// Runs `exe` with `arguments` in its own folder and waits up to `timeout`; a run
// still going then is ended (and `ended` is false).
CommandResult RunCommand(const std::string& exe, const std::string& arguments,
                         std::chrono::milliseconds timeout);
// Starts it without waiting; RunCommand's watching then goes on in FinishCommand.
struct StartedCommand {
  twi::UniqueHandle process;
  twi::UniqueHandle output;  // the read end of its standard output
  DWORD pid = 0;
};
StartedCommand StartCommand(const std::string& exe, const std::string& arguments);
CommandResult FinishCommand(StartedCommand& command, std::chrono::milliseconds timeout);

// "Message: <text>" and the other lines a run logs, for a failure's output.
std::string Dump(const std::vector<std::string>& lines);

}  // namespace twitest
