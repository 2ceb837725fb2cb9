#pragma once
// How a request reaches the server: access type, proxy and its credentials, time-out.
// A copy goes with each request, so changing the control's properties affects only the
// requests that start afterwards.
#include <windows.h>
#include <wininet.h>

#include <string>

namespace twi::inet {

enum AccessType { kAccessPreconfigured = 0, kAccessDirect = 1, kAccessNamedProxy = 2 };

struct ConnectionSettings {
  int accessType = kAccessPreconfigured;
  std::string proxy;     // "server:port", used with kAccessNamedProxy
  std::string userName;  // proxy credentials
  std::string password;
  int timeoutSeconds = 60;  // 0 or less: WinInet's own defaults
};

// Opens a WinInet session for these settings (`flags`: 0 or INTERNET_FLAG_ASYNC) with
// the time-out applied to connecting, sending and receiving. nullptr on failure
// (GetLastError tells why).
HINTERNET OpenSession(const ConnectionSettings& settings, DWORD flags);
// Sets the time-out on connecting, sending and receiving of a session, connection or
// request handle (Wine heeds a request's own time-outs, not its session's).
void ApplyTimeouts(HINTERNET handle, const ConnectionSettings& settings);
// Sets the proxy user name and password on a connection or request handle when given.
void ApplyProxyCredentials(HINTERNET handle, const ConnectionSettings& settings);

}  // namespace twi::inet
