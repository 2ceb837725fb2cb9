#pragma once
// Waiting while the windows stay alive, and letting pending window events run.
#include <utility>

#include "base/Clock.h"

namespace twi {

class cSHAREDDelay {
 public:
  // `clock` paces RegularDoEvents; the waits always take real time.
  explicit cSHAREDDelay(SecondsClock clock = ClockSeconds) : clock_(std::move(clock)) {}

  // Lets pending window events run, but only when keyboard or mouse input waits.
  void newDoEvents();
  // Lets pending window events run at most once per quarter second.
  void RegularDoEvents();
  // Lets pending window events run.
  void DoEventss();
  // Above one second: half-second sleeps, each followed by newDoEvents, then the
  // remainder in one sleep; otherwise one sleep of the whole time.
  void Delay(double seconds);
  // Up to 1000 ms a plain blocking sleep; above that Delay.
  void Sleep(long milliseconds);
  // Waits the given time while staying responsive to input, paint and timers.
  void MsgWait(long milliseconds);

 private:
  SecondsClock clock_;
  double nextRegularPump_ = 0.0;
};

cSHAREDDelay& TheDelay();

}  // namespace twi
