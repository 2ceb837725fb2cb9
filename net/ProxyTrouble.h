#pragma once
// Why a transfer through the user's proxy server came to nothing: the proxy refused the
// user name or password, or could not be reached (or did not answer). Without a word of
// it the user saw what the proxy's refusal page made of each step ("File not found on
// server", an unpacking error, "not found. Cannot install it.", an empty version).
#include <string>

namespace twi {

enum class ProxyTrouble { None, Refused, Unreachable };

// What the user is told, once, in place of the steps that would have followed: a
// sentence naming the proxy server ("server:port").
std::string ProxyTroubleText(ProxyTrouble trouble, const std::string& proxy);

}  // namespace twi
