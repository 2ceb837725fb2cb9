#pragma once
// Event pumping: run the window messages that are waiting, exactly where the
// program's handlers ask for it, and the program's main message loop.
#include <windows.h>

namespace ui {

// Runs every pending window message (keyboard navigation included), then returns.
void DoEvents();
// Dispatches one message with dialog-style keyboard handling for its form.
void DispatchOne(MSG& msg);
// Runs messages until no form is loaded any more or WM_QUIT arrives.
int RunMessageLoop();

}  // namespace ui
