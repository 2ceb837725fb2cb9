#pragma once
// Waiting while the windows stay alive, and letting pending window events run.
namespace twi {

class cSHAREDDelay {
 public:
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
  double nextRegularPump_ = 0.0;
};

cSHAREDDelay& TheDelay();

}  // namespace twi
