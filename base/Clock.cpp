#include "base/Clock.h"

#include <windows.h>

namespace twi {

double ClockSeconds() { return static_cast<double>(GetTickCount64()) / 1000.0; }

}  // namespace twi
