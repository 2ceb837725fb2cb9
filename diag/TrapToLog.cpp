#include "diag/TrapToLog.h"

#include "diag/cSharedLogging.h"

namespace twi {

void RecordTrapped(const RuntimeError& error, const std::string& routine,
                   const std::string& module, ErrorStyle style) {
  TheLog().AddAction(ErrorText(error, style), routine, module);
}

}  // namespace twi
