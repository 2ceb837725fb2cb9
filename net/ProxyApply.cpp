#include "net/ProxyApply.h"

#include <limits>
#include <optional>

#include "base/Trap.h"
#include "diag/TrapToLog.h"
#include "diag/cSharedLogging.h"
#include "net/PasswordScrambler.h"
#include "net/cSHAREDInternet.h"
#include "net/fSHAREDInternet.h"
#include "platform/inet/InetControl.h"
#include "settings/cSHAREDSettings.h"

namespace twi {
namespace {

constexpr const char* kModule = "fSHAREDInternet";

}  // namespace

std::string StoredProxyUser() {
  std::string user;
  TrapToLog("ProxyUser", kModule, [&] { user = TheSettings().TextOf("ProxyUser"); });
  return user;
}

std::string StoredProxyPassword() {
  std::string password;
  TrapToLog("ProxyPassword", kModule,
            [&] { password = Decrypt(TheSettings().TextOf("ProxyPwd")); });
  return password;
}

void ApplyStoredProxy(inet::InetControl* control, bool& controlMissing) {
  std::optional<RuntimeError> error = Trapping([&] {
    if (!control) throw RuntimeError::Numbered(err::ClassNotRegistered);
    long stored = TheSettings().sGet("ProxyType", 1).AsLong();
    if (stored < std::numeric_limits<short>::min() || stored > std::numeric_limits<short>::max())
      throw RuntimeError::Numbered(err::Overflow);
    const int type = static_cast<int>(stored);
    control->SetAccessType(type);
    control->SetUserName("");
    control->SetPassword("");
    if (type == 2) {
      const std::string server = TheSettings().TextOf("ProxyServer");
      const std::string port = TheSettings().TextOf("ProxyPort");
      control->SetProxy(!server.empty() && !port.empty() ? server + ":" + port : "");
    } else if (type == 1) {
      control->SetProxy("");
    }
    TheLog().AddAction("Proxy set to: " + std::to_string(control->AccessType()) + " " +
                       control->Proxy());
    if (type == 2) {
      control->SetUserName(StoredProxyUser());
      control->SetPassword(StoredProxyPassword());
      TheLog().AddDebug("Proxy username/password set");
    }
  });
  if (!error) return;
  if (error->Number() == err::ClassNotRegistered) controlMissing = true;
  RecordTrapped(*error, "ApplyProxy", kModule);
}

// The engine's and the client's proxy operations live here, apart from the
// transfer code of their classes.

void fSHAREDInternet::ApplyProxy() { ApplyStoredProxy(inet_.get(), ControlMissing); }
std::string fSHAREDInternet::ProxyUser() { return StoredProxyUser(); }
std::string fSHAREDInternet::ProxyPassword() { return StoredProxyPassword(); }

void cSHAREDInternet::ApplyProxy() {
  if (fInet) Ignoring([&] { fInet->ApplyProxy(); });
}

}  // namespace twi
