#include "report/cSHAREDShowError.h"

#include <memory>

#include "base/NoDestructor.h"
#include "diag/TrapToLog.h"
#include "report/fSHAREDErrorRpt.h"

namespace twi {

void cSHAREDShowError::ShowErr(const std::string& errorMessage, const std::string& helpPage) {
  constexpr const char* kModule = "cShowError";
  if (Unattended) {
    TrapToLog("ShowErr", kModule, [&] { Unattended(errorMessage); });
    return;
  }
  std::unique_ptr<fSHAREDErrorRpt> window;
  TrapToLog("ShowErr", kModule, [&] { window = std::make_unique<fSHAREDErrorRpt>(); });
  if (!window) return;
  TrapToLog("ShowErr", kModule, [&] { window->ShowError(errorMessage, helpPage); });
  TrapToLog("ShowErr", kModule, [&] { window->Unload(); });
}

cSHAREDShowError& TheShowError() { return SharedInstance<cSHAREDShowError>(); }

}  // namespace twi
