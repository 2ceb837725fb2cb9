#include "platform/inet/PumpingWait.h"

#include <algorithm>

#include "base/DoEvents.h"

namespace twi::inet {
namespace {

// While the program is quitting, the quit message stays in the queue (DoEvents leaves it
// for the main loop) and would wake every wait on the queue at once.
bool QuitPending() {
  MSG msg;
  return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
}

}  // namespace

void PumpThenWait(std::initializer_list<HANDLE> signals, DWORD timeoutMs) {
  const DWORD count = static_cast<DWORD>(signals.size());
  // Emptying the queue first matters: MsgWaitForMultipleObjects wakes only for messages
  // that arrived after the queue was last looked at.
  DoEvents();
  if (QuitPending()) {
    WaitForMultipleObjects(count, signals.begin(), FALSE, std::min<DWORD>(timeoutMs, 100));
    return;
  }
  MsgWaitForMultipleObjects(count, signals.begin(), FALSE, timeoutMs, QS_ALLINPUT);
}

}  // namespace twi::inet
