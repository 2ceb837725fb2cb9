#pragma once
// Finding and handling the windows of programs a test started (the install
// center started again by the update program, a message box of the update
// program): by the program's file, never by caption alone, since other test
// suites show windows with the same captions at the same time.
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

namespace twitest {

// A visible top-level window of a running program whose executable is `exePath`
// and whose caption is `caption` ("" for any); waits up to `timeout`.
HWND WaitForWindowOf(const std::string& exePath, const std::string& caption,
                     std::chrono::milliseconds timeout);
// The texts of a window's child windows, in order.
std::vector<std::string> ChildTexts(HWND window);
// Asks the window to close (as from outside: WM_CLOSE) and waits for its
// program to end; false when it did not end within `timeout`.
bool CloseAndWaitForExit(HWND window, std::chrono::milliseconds timeout);

}  // namespace twitest
