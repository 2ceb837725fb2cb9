#include "base/Clock.h"

#include <windows.h>

namespace twi {
namespace {

// Counts a second; fixed at boot, so read once.
std::int64_t CounterFrequency() {
  static const std::int64_t frequency = [] {
    LARGE_INTEGER value;
    QueryPerformanceFrequency(&value);
    return value.QuadPart > 0 ? value.QuadPart : 1;
  }();
  return frequency;
}

std::int64_t Counter() {
  LARGE_INTEGER value;
  QueryPerformanceCounter(&value);
  return value.QuadPart;
}

}  // namespace

double ClockSeconds() {
  return static_cast<double>(Counter()) / static_cast<double>(CounterFrequency());
}

std::int64_t ClockMilliseconds() {
  const std::int64_t count = Counter();
  const std::int64_t frequency = CounterFrequency();
  // Whole seconds and the rest apart: count * 1000 alone would overflow after
  // some 29 000 years at 10 MHz, but on a GHz counter after 107 days.
  return count / frequency * 1000 + count % frequency * 1000 / frequency;
}

}  // namespace twi
