#pragma once
#include <string>

namespace twi {

// Starts a command line (a bare file name is searched in the program's own
// folder first) and waits without limit until the process ends; returns its
// exit code. The window is not refreshed during the wait. A command that cannot
// be started gives -1.
long ExecCmd(const std::string& commandLine);

// Starts a command line with its window shown as `show` (SW_HIDE, SW_SHOWNORMAL...)
// and returns at once, without waiting for it; false when it could not be started.
bool StartProgram(const std::string& commandLine, int show);
bool StartHidden(const std::string& commandLine);  // StartProgram with SW_HIDE

}  // namespace twi
