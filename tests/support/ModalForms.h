#pragma once
// Acting on a window that the program shows modally: the test is blocked in the
// window's modal loop, so the action runs from a timer that loop dispatches, as
// soon as a loaded, visible form of the wanted type is there.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>

#include "ui/Form.h"
#include "ui/Forms.h"

namespace twitest {

// The first loaded, visible form of type T, or null.
template <class T>
T* VisibleForm() {
  for (ui::Form* form : ui::Forms().All())
    if (auto* wanted = dynamic_cast<T*>(form); wanted && wanted->Visible()) return wanted;
  return nullptr;
}

// Polls every 50 ms, from whatever message loop runs, until `attempt` returns
// true (once) or the time is up (a test failure).
class ActWhenReady {
 public:
  ActWhenReady(std::function<bool()> attempt, std::chrono::milliseconds timeout);
  ~ActWhenReady();
  ActWhenReady(const ActWhenReady&) = delete;
  ActWhenReady& operator=(const ActWhenReady&) = delete;
  bool Done() const { return done_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD);
  void Step();
  std::function<bool()> attempt_;
  double deadline_;
  UINT_PTR timer_ = 0;
  bool done_ = false;
};

// Runs `action` on the modal form of type T once it is shown.
template <class T>
class WhenShown {
 public:
  explicit WhenShown(std::function<void(T&)> action,
                     std::chrono::milliseconds timeout = std::chrono::seconds(20))
      : watcher_(
            [action = std::move(action)] {
              T* form = VisibleForm<T>();
              if (!form) return false;
              action(*form);
              return true;
            },
            timeout) {}
  bool Done() const { return watcher_.Done(); }

 private:
  ActWhenReady watcher_;
};

}  // namespace twitest
