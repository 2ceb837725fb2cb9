#pragma once
#include <string>

namespace twi {

// A command line that starts `program` (a full path) with `arguments` as written after
// it: the path in double quotes. Unquoted, a path with a blank ("C:\Program Files\...")
// is read as the program "C:\Program" with arguments, and the system starts whatever
// file sits there first, with the rights of this program.
std::string CommandLineOf(const std::string& program, const std::string& arguments = "");
// A path as one argument of a command line: in double quotes.
std::string QuotedArgument(const std::string& path);

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
