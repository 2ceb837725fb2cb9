#include "net/ProxyTrouble.h"

namespace twi {

std::string ProxyTroubleText(ProxyTrouble trouble, const std::string& proxy) {
  const std::string server = proxy.empty() ? "The proxy server" : "The proxy server " + proxy;
  switch (trouble) {
    case ProxyTrouble::Refused:
      return server + " refused the user name or password. Please check them in Proxy Settings.";
    case ProxyTrouble::Unreachable:
      return server + " could not be reached or did not answer. Please check Proxy Settings.";
    case ProxyTrouble::None: break;
  }
  return "";
}

}  // namespace twi
