#pragma once
// The message pump: runs the window messages that are waiting, exactly where a
// long operation asks for it, so the windows stay alive while it works.
#include <windows.h>

namespace twi {

// Runs every pending window message (keyboard navigation included), then returns.
// A quit message is left in the queue for the main loop.
void DoEvents();
// Dispatches one message, with dialog-style keyboard handling for its top-level
// window when that window asks for it (WS_EX_CONTROLPARENT).
void DispatchOne(MSG& msg);

}  // namespace twi
