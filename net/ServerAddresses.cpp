#include "net/ServerAddresses.h"

#include "base/TextConv.h"
#include "settings/cSHAREDSettings.h"

namespace twi {
namespace {

constexpr const char* kMainServer = "http://www.tarnwick-software.example/";
constexpr const char* kSecondaryServer = "http://files.tarnwick-software.example/";

std::string SettingOr(const char* key, const char* fallback) {
  Variant value = TheSettings().sGet(key);
  std::string text = value.IsEmpty() ? std::string() : Trim(value.AsText());
  return text.empty() ? std::string(fallback) : text;
}

}  // namespace

std::string MainServerBase() { return SettingOr("MainServer", kMainServer); }
std::string SecondaryServerBase() { return SettingOr("SecondaryServer", kSecondaryServer); }
std::string MainServerHost() { return HostOfAddress(MainServerBase()); }

std::string HostOfAddress(const std::string& address) {
  size_t scheme = address.find("://");
  size_t start = scheme == std::string::npos ? 0 : scheme + 3;
  size_t end = address.find_first_of("/:", start);
  return address.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace twi
