#pragma once
// The administrators' command line: what a run without a window is asked to do,
// read from the arguments after the program's own path. Switches begin with "/"
// (or "-") and are compared without regard to case; each may be given once.
//
//   /scan "<program>"               scan the program's runtimes
//   /install "<program>" [/program] install its missing runtimes (and the program)
//   /update                         update the install center
//   /quiet                          no window, no message box
//   /server <address>               the maker's main server for this run only
//   /wait <seconds>                 how long to wait for another run to end
//   /?                              the usage
#include <string>
#include <vector>

namespace twi {

enum class CommandKind { Window, Scan, Install, Update, Usage };

struct CommandRequest {
  CommandKind kind = CommandKind::Window;  // Window: no arguments, the install center as always
  std::string program;                     // the catalogue's list text of the named program
  bool withProgram = false;                // /install ... /program
  bool quiet = false;
  std::string server;  // "" for the configured servers, else a base address ending in "/"
  int waitSeconds = 600;
  std::string error;  // why the command line is bad ("" when it is good or /? was asked)
};

// Exit codes of a command run (those of the Windows Installer where one fits).
namespace exitcode {
inline constexpr int kSuccess = 0;
inline constexpr int kScanFailed = 1;
inline constexpr int kBadCommandLine = 87;        // ERROR_INVALID_PARAMETER
inline constexpr int kFailed = 1603;              // ERROR_INSTALL_FAILURE
inline constexpr int kAnotherRunBusy = 1618;      // ERROR_INSTALL_ALREADY_RUNNING
inline constexpr int kRebootRequired = 3010;      // ERROR_SUCCESS_REBOOT_REQUIRED
}  // namespace exitcode

// Longest argument read; a longer one makes the command line bad before anything
// is compared or looked up.
inline constexpr size_t kLongestArgument = 2048;
inline constexpr int kLongestWait = 24 * 60 * 60;

CommandRequest ParseCommandLine(const std::vector<std::string>& arguments);
// The arguments of a whole command line as Windows splits it (the program's own
// path, the first, left out).
std::vector<std::string> ArgumentsOf(const std::wstring& commandLine);
// The base address a /server value names ("" when it is not an http:// or https://
// address of a host name or IPv4 address, an optional port and path).
std::string ServerBaseOf(const std::string& address);
std::string UsageText();

}  // namespace twi
