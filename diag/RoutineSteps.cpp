#include "diag/RoutineSteps.h"

#include "diag/TrapToLog.h"

namespace twi {

bool RoutineSteps::Handle(const RuntimeError& error) {
  if (rule_.passOver != 0 && error.Number() == rule_.passOver) return true;
  lastError_ = error;
  if (!rule_.module.empty()) RecordTrapped(error, rule_.routine, rule_.module, rule_.style);
  if (rule_.onError) rule_.onError(error);
  return false;
}

}  // namespace twi
