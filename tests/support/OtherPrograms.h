#pragma once
// Driving other programs from outside, as a user would: starting them, finding
// their windows and controls by caption, text and class, reading what they
// show, and closing them. Windows are told apart by their program (process or
// executable file), never by caption alone, since other test suites show
// windows with the same captions at the same time.
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "base/UniqueHandle.h"

namespace twitest {

// A program started in a folder; ended (terminated) if it still runs when the
// object goes away.
class StartedProgram {
 public:
  // Runs `exePath` with `arguments` in `folder` ("" the test's own folder).
  StartedProgram(const std::string& exePath, const std::string& arguments = "",
                 const std::string& folder = "");
  ~StartedProgram();
  StartedProgram(const StartedProgram&) = delete;
  StartedProgram& operator=(const StartedProgram&) = delete;

  bool Started() const { return static_cast<bool>(process_); }
  DWORD Pid() const { return pid_; }
  // False when the program did not end within `timeout`.
  bool WaitForExit(std::chrono::milliseconds timeout, DWORD& code);
  // Ends it at once, as the task manager does, and waits until it has ended.
  bool Kill();

 private:
  twi::UniqueHandle process_;
  DWORD pid_ = 0;
};

// The processes that process `pid` started (also after it ended).
std::vector<DWORD> ChildProcessesOf(DWORD pid);
// Ends process `pid` at once and waits until it has ended; false when it runs on.
bool KillProcess(DWORD pid);

// The visible top-level windows of a process.
std::vector<HWND> TopWindowsOf(DWORD pid);
// A visible top-level window of a running program whose executable is `exePath`,
// whose caption is `caption` ("" for any) and whose class is `cls` ("" for
// any); waits up to `timeout`.
HWND WaitForWindowOf(const std::string& exePath, const std::string& caption,
                     std::chrono::milliseconds timeout, const std::string& cls = "");

// The stored caption, read without sending the window a message (its program
// may be busy).
std::string CaptionOf(HWND window);
// The text as the window itself reports it (WM_GETTEXT: a list's selected row).
std::string TextOf(HWND window);
std::string ClassOf(HWND window);
// Every window inside `parent`, at any depth.
std::vector<HWND> Descendants(HWND parent);
// The texts of a window's child windows, in order.
std::vector<std::string> ChildTexts(HWND window);
// The first window inside `parent` of class `cls` with the text `text`, or null.
HWND ChildWithText(HWND parent, const std::string& cls, const std::string& text);

// Asks the window to close (as from outside: WM_CLOSE) and waits for its
// program to end; false when it did not end within `timeout`.
bool CloseAndWaitForExit(HWND window, std::chrono::milliseconds timeout);

}  // namespace twitest
