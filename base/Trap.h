#pragma once
// The one way to trap a run-time error. A step that may fail runs through
// Ignoring or Trapping (or, to record the error in the log, TrapToLog of
// diag/TrapToLog.h); whatever it throws is caught, and anything that is not a
// RuntimeError is turned into one, so that a trap never lets an error through
// and never misses one because of its type. Where a routine goes on after an
// error, each step that may fail is guarded on its own line.
#include <optional>
#include <string>

#include "base/RuntimeError.h"

namespace twi {

// The error being handled, for use inside a catch block: a RuntimeError as it
// is; std::bad_alloc as error 7 "Out of memory"; any other exception as error
// 51 "Internal error" with the exception's own text where it has one.
RuntimeError CurrentError();

// Runs `step` and goes on whatever happens: an error is dropped without a
// record. True when the step completed.
template <class F>
bool Ignoring(F&& step) noexcept {
  try {
    step();
    return true;
  } catch (...) {
    return false;
  }
}

// Runs `step`; the error it raised, if any.
template <class F>
std::optional<RuntimeError> Trapping(F&& step) {
  try {
    step();
    return std::nullopt;
  } catch (...) {
    return CurrentError();
  }
}

// How a trapped error is written as text.
enum class ErrorStyle {
  Spaced,      // "File not found (53)"
  Tight,       // "File not found(53)"
  NumberDash,  // "53 - File not found"
  NumberHyphen,  // "53-File not found"
};
std::string ErrorText(const RuntimeError& error, ErrorStyle style = ErrorStyle::Spaced);

}  // namespace twi
