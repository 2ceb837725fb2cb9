#include "update/SignedFiles.h"

#include <sstream>
#include <vector>

#include "base/TextConv.h"
#include "diag/cSharedLogging.h"
#include "net/ServerAddresses.h"
#include "net/cSHAREDInternet.h"
#include "platform/crypto/Signature.h"
#include "settings/cSHAREDSettings.h"

namespace twi {
namespace {

constexpr const char* kSignedServersKey = "SignedServers";
constexpr const char* kRequireKey = "RequireSignatures";
// Servers remembered at most: the list is a settings line, read at every start.
constexpr size_t kMostRemembered = 16;

std::vector<std::string> RememberedServers() {
  std::vector<std::string> servers;
  std::istringstream words(TheSettings().TextOf(kSignedServersKey));
  for (std::string server; words >> server;) servers.push_back(server);
  return servers;
}

bool Remembered(const std::string& server) {
  for (const std::string& known : RememberedServers())
    if (UpperAscii(known) == UpperAscii(server)) return true;
  return false;
}

// The signature's fetch: its bytes, or nothing for a server that has none.
std::optional<std::string> FetchSignature(cSHAREDInternet& client, const std::string& url) {
  client.OpenURL(url + ".sig");
  cSHAREDInternet::Reply reply = client.LastReply();
  if (!reply.finished || reply.responseCode == 404) return std::nullopt;
  return reply.bytes;
}

SignedText Judged(SignedText file, const std::string& url, Trust trust, const std::string& why) {
  file.trust = trust;
  file.why = why;
  if (trust == Trust::Verified) TheLog().LogEvent(url + ": signature verified");
  if (trust == Trust::Unsigned) TheLog().LogEvent(url + ": not verified (no signature)");
  if (trust == Trust::Refused) TheLog().LogEvent(url + ": refused: " + why);
  return file;
}

}  // namespace

std::string ServerOf(const std::string& url) {
  for (const std::string& base : {MainServerBase(), SecondaryServerBase()})
    if (url.size() >= base.size() && UpperAscii(url.substr(0, base.size())) == UpperAscii(base)) return base;
  size_t scheme = url.find("://");
  size_t hostEnd = url.find('/', scheme == std::string::npos ? 0 : scheme + 3);
  return hostEnd == std::string::npos ? url + "/" : url.substr(0, hostEnd + 1);
}

bool SignaturesRequiredFrom(const std::string& server) {
  return TheSettings().sGet(kRequireKey, false).AsBool() || Remembered(server);
}

void RememberSignedServer(const std::string& server) {
  if (Remembered(server)) return;
  std::vector<std::string> servers = RememberedServers();
  servers.push_back(server);
  if (servers.size() > kMostRemembered) servers.erase(servers.begin());
  std::string line;
  for (const std::string& known : servers) line += (line.empty() ? "" : " ") + known;
  TheSettings().sSet(kSignedServersKey, line);
}

SignedText FetchSigned(cSHAREDInternet& client, const std::string& url, const std::string& what) {
  SignedText file;
  file.url = url;
  file.text = client.OpenURL(url);
  cSHAREDInternet::Reply reply = client.LastReply();
  file.bytes = reply.bytes;
  file.fetched = reply.finished && reply.responseCode != 404;
  if (!file.fetched) return file;  // nothing came: the callers' messages say so
  const std::string server = ServerOf(url);
  std::optional<std::string> signature = FetchSignature(client, url);
  if (!signature) {
    if (!SignaturesRequiredFrom(server)) return Judged(file, url, Trust::Unsigned, "");
    return Judged(file, url, Trust::Refused,
                  server + " sent " + what + " without the maker's signature, which it has "
                  "signed before (or which is required here), so it was not used.");
  }
  if (!crypto::SignedByTrustedKey(file.bytes, *signature)) {
    return Judged(file, url, Trust::Refused,
                  "The maker's signature on " + what + " from " + server +
                      " did not verify, so it was not used.");
  }
  RememberSignedServer(server);
  return Judged(file, url, Trust::Verified, "");
}

}  // namespace twi
