#pragma once
// A run from the command line (/scan, /install, /update, /?): the main window is
// loaded but never shown, the command drives the same operations its buttons
// run, every status line goes to the log (as in the window) and to the console,
// and the process ends with an exit code that tells success, failure and
// "restart Windows" apart. A run waits for another run in the same program
// folder to end (app/RunLock.h).
#include <string>

#include "app/CommandLine.h"

namespace twi {

// Runs `request` (not CommandKind::Window); `argumentsText` is the command line
// after the program's path, as the log shows it. A command ends the process
// through the main window's exit (settings saved); the return value is the exit
// code of a run that did not get that far (the usage, another run busy).
int RunCommand(const CommandRequest& request, const std::string& argumentsText);

}  // namespace twi
