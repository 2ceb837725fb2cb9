#pragma once
// Seconds on a clock that does not wrap within a run (from the 64-bit tick
// count); every pacing rule of the program (event pumping, progress throttling,
// transfer time-outs) measures elapsed time with it.
namespace twi {

double ClockSeconds();

}  // namespace twi
