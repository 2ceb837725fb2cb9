#pragma once
// The steps of a routine that goes on after an error. Each step runs trapped, and
// what an error does is the routine's rule, said once where the routine begins:
//
//   RoutineSteps step({.routine = "DownloadFile", .module = kModule,
//                      .style = ErrorStyle::NumberHyphen});
//   step([&] { TheSubs().BusyMouse(); });
//   step([&] { cInternet->ApplyProxy(); });
//
// A rule with a module records each error as a log action ("<description> (<number>)
// in <routine> of module <module>", diag/TrapToLog.h); `onError` then does what else
// the routine does with it (the status line, a log event) and may raise it again to
// end the routine. An error of the number `passOver` is no error for the routine.
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "base/Trap.h"

namespace twi {

struct StepRule {
  std::string routine{};
  std::string module{};  // empty: errors are not recorded as log actions
  ErrorStyle style = ErrorStyle::Spaced;
  long passOver = 0;     // 0: every number is an error
  std::function<void(const RuntimeError& error)> onError{};
};

class RoutineSteps {
 public:
  explicit RoutineSteps(StepRule rule) : rule_(std::move(rule)) {}

  // Runs `step`; true when it completed, or raised only the passed-over error.
  template <class F>
  bool operator()(F&& step) {
    std::optional<RuntimeError> error = Trapping(std::forward<F>(step));
    return !error || Handle(*error);
  }

  // The last error a step raised, passed-over ones aside.
  const std::optional<RuntimeError>& LastError() const { return lastError_; }

 private:
  // Applies the rule to `error`; true when it is the passed-over number.
  bool Handle(const RuntimeError& error);

  StepRule rule_;
  std::optional<RuntimeError> lastError_;
};

}  // namespace twi
