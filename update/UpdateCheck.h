#pragma once
// The update check in steps that need no window: fetch the version file (with the
// maker's signature, where the server signs), read what it says of the release, and
// compare that with the running version. The updater window runs them in this order
// and shows the result; the command line's /update and the tests run them too.
#include <string>

#include "update/SignedFiles.h"
#include "update/VersionRecord.h"

namespace twi {

class cSHAREDInternet;

// What a version file says of the release.
struct ReleaseInfo {
  enum class Outcome {
    Refused,    // the maker's signature refuses the file: `refusal` says why
    NoReply,    // nothing came back, or the server's error page
    NoAddress,  // a file that names no package
    Read,       // version, address and what the package must be are set
  } outcome = Outcome::NoReply;
  VersionRecord version;  // 0.0.0 where line 1 has fewer than three parts
  std::string address;
  Expectation package;
  std::string refusal;
};

// Fetch: the version file at `address`, with its signature.
SignedText FetchVersionFile(cSHAREDInternet& client, const std::string& address);
// Read: what the fetched file says.
ReleaseInfo ReadRelease(const SignedText& file);
// The running version, "1.2.0b", as the check compares it (0.0.0 when unreadable).
VersionRecord RunningVersion(const std::string& versionText);
// Compare: true when the release read is newer than `running`.
bool IsUpdate(const ReleaseInfo& release, const VersionRecord& running);

}  // namespace twi
