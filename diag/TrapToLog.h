#pragma once
// Trapping a run-time error and recording it as a log action, the program's
// convention for a routine that goes on after an error: the action reads
// "<description> (<number>) in <routine> of module <module>". A routine that
// records and goes on is one line per guarded step:
//
//   TrapToLog("DownloadFile", kModule, [&] { lblFile.SetCaption(filename); });
//
// (Ignoring, in base/Trap.h, goes on without a record.)
#include <string>
#include <utility>

#include "base/Trap.h"

namespace twi {

// Records `error` as a log action of `routine` in `module`, its text in `style`.
void RecordTrapped(const RuntimeError& error, const std::string& routine,
                   const std::string& module, ErrorStyle style = ErrorStyle::Spaced);

// Runs `step`; an error is recorded as a log action and the work goes on.
// True when the step completed.
template <class F>
bool TrapToLog(const std::string& routine, const std::string& module, F&& step,
               ErrorStyle style = ErrorStyle::Spaced) {
  std::optional<RuntimeError> error = Trapping(std::forward<F>(step));
  if (error) RecordTrapped(*error, routine, module, style);
  return !error;
}

}  // namespace twi
