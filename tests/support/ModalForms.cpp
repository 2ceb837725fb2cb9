#include "support/ModalForms.h"

#include <map>

#include "base/Clock.h"

namespace twitest {
namespace {

std::map<UINT_PTR, ActWhenReady*>& Watchers() {
  static std::map<UINT_PTR, ActWhenReady*> watchers;
  return watchers;
}

}  // namespace

ActWhenReady::ActWhenReady(std::function<bool()> attempt, std::chrono::milliseconds timeout)
    : attempt_(std::move(attempt)),
      deadline_(twi::ClockSeconds() + static_cast<double>(timeout.count()) / 1000.0) {
  timer_ = SetTimer(nullptr, 0, 50, &ActWhenReady::Tick);
  Watchers()[timer_] = this;
}

ActWhenReady::~ActWhenReady() {
  if (timer_) {
    KillTimer(nullptr, timer_);
    Watchers().erase(timer_);
  }
}

void CALLBACK ActWhenReady::Tick(HWND, UINT, UINT_PTR id, DWORD) {
  auto it = Watchers().find(id);
  if (it != Watchers().end()) it->second->Step();
}

void ActWhenReady::Step() {
  if (done_) return;
  UINT_PTR timer = timer_;
  bool timedOut = twi::ClockSeconds() > deadline_;
  // Stop first: the action may itself run a modal loop that dispatches this timer.
  KillTimer(nullptr, timer);
  Watchers().erase(timer);
  timer_ = 0;
  if (timedOut) {
    ADD_FAILURE() << "the expected window was not shown in time";
    done_ = true;
    return;
  }
  if (attempt_()) {
    done_ = true;
    return;
  }
  timer_ = SetTimer(nullptr, 0, 50, &ActWhenReady::Tick);
  Watchers()[timer_] = this;
}

}  // namespace twitest
