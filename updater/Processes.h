#pragma once
// The running processes, as the update program needs them: the one that started
// it (the install center it waits for), and whether a program file is running.
#include <string>

namespace twi::updater {

// The process that started this one, 0 when it cannot be found.
unsigned long ParentProcessId();
// Whether process `pid` runs the program file `exePath` (letter case aside).
bool RunsProgram(unsigned long pid, const std::string& exePath);
// Whether any process runs the program file `exePath`.
bool IsProgramRunning(const std::string& exePath);
// Whether process `pid` shows a visible top-level window (a splash counts).
bool ShowsAWindow(unsigned long pid);

}  // namespace twi::updater
