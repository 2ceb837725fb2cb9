#pragma once
// The parts of a request address, as WinInet splits it.
#include <windows.h>
#include <wininet.h>

#include <string>

namespace twi::inet {

struct Url {
  INTERNET_SCHEME scheme = INTERNET_SCHEME_HTTP;
  std::wstring host;
  INTERNET_PORT port = 0;
  std::wstring path;  // path and query, "/" at least
  std::wstring userName;
  std::wstring password;
};

// Splits `address`; one without a scheme is taken as http://. Throws twi::RuntimeError
// (invalid procedure call) for an address that cannot be split.
Url ParseUrl(const std::string& address);

}  // namespace twi::inet
