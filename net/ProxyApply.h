#pragma once
// How the stored proxy choice reaches a transfer control. The download engine
// (fSHAREDInternet::ApplyProxy) applies it before each of its transfers, so
// every transfer of every client goes the way the user chose.
#include <string>

namespace twi {

namespace inet {
class InetControl;
}

// Sets the control's AccessType from "ProxyType" (default 1, a 16-bit whole
// number), clears its UserName and Password; for 2 sets Proxy to
// "ProxyServer:ProxyPort" (or "" when either is empty) and the credentials; for
// 1 sets Proxy to "". Records "Proxy set to: <type> <proxy>" and, for a named
// proxy, the debug note "Proxy username/password set" (never the password).
// A missing control (null) is run-time error 339, which sets `controlMissing`;
// any error is recorded under ApplyProxy of fSHAREDInternet and ends it.
void ApplyStoredProxy(inet::InetControl* control, bool& controlMissing);
// "ProxyUser", and "ProxyPwd" unscrambled ("" when absent).
std::string StoredProxyUser();
std::string StoredProxyPassword();

}  // namespace twi
