#include "platform/inet/PumpingWait.h"

#include "ui/DoEvents.h"

namespace twi::inet {

void PumpThenWait(HANDLE signal, DWORD timeoutMs) {
  // Emptying the queue first matters: MsgWaitForMultipleObjects wakes only for messages
  // that arrived after the queue was last looked at.
  ui::DoEvents();
  MsgWaitForMultipleObjects(1, &signal, FALSE, timeoutMs, QS_ALLINPUT);
}

}  // namespace twi::inet
