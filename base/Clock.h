#pragma once
// A clock that does not wrap within a run: the 64-bit performance counter, which every
// Windows from XP on has and which does not wrap in a machine's lifetime, where the
// 32-bit tick count wraps after 49.7 days and its 64-bit twin needs Vista. Every pacing rule of
// the program (event pumping, progress throttling, transfer time-outs, delays)
// measures elapsed time with it.
#include <cstdint>
#include <functional>

namespace twi {

double ClockSeconds();
std::int64_t ClockMilliseconds();

// The clock a pacing rule reads: ClockSeconds, or a test's own, which it moves on
// by hand so that the rule's result does not hang on how busy the machine is.
using SecondsClock = std::function<double()>;

}  // namespace twi
