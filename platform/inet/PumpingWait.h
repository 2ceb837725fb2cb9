#pragma once
// Waiting on the GUI thread without freezing it: the waits of the transfer control run
// the thread's window messages, so a Stop button stays clickable, and sleep in between.
#include <windows.h>

#include <initializer_list>

namespace twi::inet {

// Runs the window messages that are waiting, then sleeps until one of `signals` is set,
// a new message arrives or `timeoutMs` has passed. Callers loop, checking their condition
// before each call.
void PumpThenWait(std::initializer_list<HANDLE> signals, DWORD timeoutMs);
inline void PumpThenWait(HANDLE signal, DWORD timeoutMs) { PumpThenWait({signal}, timeoutMs); }

}  // namespace twi::inet
