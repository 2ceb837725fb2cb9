#pragma once
// The maker's signatures on what the servers publish. A signed file `f` has the
// detached Ed25519 signature `f.sig` beside it (64 bytes, over the file's bytes as
// served), made with a key this build trusts.
//
// A server that answers the `.sig` with "not found" (or not at all) signs nothing: what
// it sends is used as before and logged as "not verified". Once a signature from a
// server has verified, the settings remember that server (SignedServers), and from then
// on, as for every server when RequireSignatures is set, a missing signature refuses
// the file. A signature that does not verify always refuses it.
#include <optional>
#include <string>

#include "platform/crypto/Sha256.h"

namespace twi {

class cSHAREDInternet;

enum class Trust { Verified, Unsigned, Refused };

struct SignedText {
  std::string url;
  std::string text;   // as the download client gives it (for the readers of the old kind)
  std::string bytes;  // as the server sent them
  bool fetched = false;
  Trust trust = Trust::Unsigned;
  std::string why;  // for Refused: a sentence saying why
};

// Fetches `url` and, when it came, its signature, and judges it as above (logging the
// judgement). `what` names the file for the sentences ("the version file of qNovel4").
SignedText FetchSigned(cSHAREDInternet& client, const std::string& url, const std::string& what);

// The server a published file belongs to: the main or secondary server's base address
// it begins with, or else its scheme, host and port.
std::string ServerOf(const std::string& url);

// Whether a missing signature from `server` refuses its files.
bool SignaturesRequiredFrom(const std::string& server);
void RememberSignedServer(const std::string& server);

// What a downloaded file must be, from a signed list or version file.
struct Expectation {
  Trust trust = Trust::Unsigned;
  std::optional<crypto::Sha256Digest> sha256;  // none: not listed
  std::string source;                                   // the list or version file's address
  std::string why;                                      // for Refused
  bool listFetched = true;  // false: the list or version file could not be had at all
};

}  // namespace twi
