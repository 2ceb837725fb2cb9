#include "ui/Timer.h"

#include <windows.h>

#include <set>

#include "base/NoDestructor.h"
#include "base/Unhandled.h"

namespace ui {
namespace {

// One hidden message window receives the ticks of every timer of the thread;
// the timer's address is its id, checked against the live timers before use.
class TimerHost {
 public:
  TimerHost() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &TimerHost::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TWInstallTimerHost";
    RegisterClassExW(&wc);
    hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            wc.hInstance, nullptr);
  }
  HWND hwnd() const { return hwnd_; }
  std::set<Timer*>& Live() { return live_; }

  static TimerHost& Get() { return twi::SharedInstance<TimerHost>(); }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER) {
      auto* timer = reinterpret_cast<Timer*>(wp);
      if (Get().live_.count(timer)) {
        try {
          timer->Tick();
        } catch (...) {
          twi::ReportUnhandledException();
        }
      }
      return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  HWND hwnd_ = nullptr;
  std::set<Timer*> live_;
};

}  // namespace

Timer::~Timer() {
  enabled_ = false;
  Apply();
}

void Timer::SetInterval(unsigned milliseconds) {
  interval_ = milliseconds;
  if (running_) {
    running_ = false;
    KillTimer(TimerHost::Get().hwnd(), reinterpret_cast<UINT_PTR>(this));
  }
  Apply();
}

void Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (running_) {
    running_ = false;
    KillTimer(TimerHost::Get().hwnd(), reinterpret_cast<UINT_PTR>(this));
  }
  Apply();
}

void Timer::Apply() {
  TimerHost& host = TimerHost::Get();
  bool want = enabled_ && interval_ > 0;
  if (want && !running_) {
    SetTimer(host.hwnd(), reinterpret_cast<UINT_PTR>(this), interval_, nullptr);
    host.Live().insert(this);
    running_ = true;
  } else if (!want) {
    if (running_) KillTimer(host.hwnd(), reinterpret_cast<UINT_PTR>(this));
    host.Live().erase(this);
    running_ = false;
  }
}

void Timer::Tick() {
  if (enabled_ && OnTimer) OnTimer();
}

}  // namespace ui
