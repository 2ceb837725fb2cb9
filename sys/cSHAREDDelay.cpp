#include "sys/cSHAREDDelay.h"

#include <windows.h>

#include <cmath>

#include "base/Clock.h"
#include "base/DoEvents.h"
#include "base/NoDestructor.h"

namespace twi {

void cSHAREDDelay::newDoEvents() {
  if (GetInputState()) DoEvents();
}

void cSHAREDDelay::RegularDoEvents() {
  double now = clock_();
  if (now > nextRegularPump_) {
    DoEvents();
    nextRegularPump_ = clock_() + 0.25;
  }
}

void cSHAREDDelay::DoEventss() { DoEvents(); }

void cSHAREDDelay::Delay(double seconds) {
  double remaining = seconds;
  if (seconds > 1) {
    double whole = std::floor(seconds);
    for (int i = 0; i < static_cast<int>(whole) * 2; ++i) {
      ::Sleep(500);
      newDoEvents();
    }
    remaining = seconds - whole;
    if (remaining <= 0) return;
  }
  if (remaining > 0) ::Sleep(static_cast<DWORD>(std::lround(remaining * 1000.0)));
}

void cSHAREDDelay::Sleep(long milliseconds) {
  if (milliseconds <= 1000) {
    if (milliseconds > 0) ::Sleep(static_cast<DWORD>(milliseconds));
  } else {
    Delay(milliseconds / 1000.0);
  }
}

void cSHAREDDelay::MsgWait(long milliseconds) {
  constexpr DWORD kWakeMask = 0xBF;  // keys, mouse, posted messages, timer, paint, hot keys
  std::int64_t start = ClockMilliseconds();
  long remaining = milliseconds;
  while (remaining > 0) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(remaining), kWakeMask);
    std::int64_t now = ClockMilliseconds();
    if (now < start) start = now;  // a clock that went back restarts the measurement
    long elapsed = static_cast<long>(now - start);
    if (elapsed >= milliseconds) return;
    remaining = milliseconds - elapsed;
    newDoEvents();
  }
}

cSHAREDDelay& TheDelay() { return SharedInstance<cSHAREDDelay>(); }

}  // namespace twi
