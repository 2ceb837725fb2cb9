#pragma once
// Timer: raises OnTimer every Interval milliseconds while enabled. Ticks arrive
// as window messages, so they run only while the thread pumps messages.
#include <functional>

namespace ui {

class Timer {
 public:
  Timer() = default;
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  void SetInterval(unsigned milliseconds);
  unsigned Interval() const { return interval_; }
  void SetEnabled(bool enabled);
  bool Enabled() const { return enabled_; }

  std::function<void()> OnTimer;

  // Called by the timer host window.
  void Tick();

 private:
  void Apply();
  unsigned interval_ = 0;
  bool enabled_ = false;
  bool running_ = false;
};

}  // namespace ui
