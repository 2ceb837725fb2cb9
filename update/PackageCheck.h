#pragma once
// The one check of a downloaded file, before anything is unpacked, copied or run: the
// transfer's result, the size the server announced, the error page a server sends in
// place of a missing file, and the SHA-256 the maker published for it. Each caller
// says what its user is told for each verdict.
#include <functional>
#include <string>

#include "update/SignedFiles.h"

namespace twi {

// Files below this size are looked at for an error page.
inline constexpr long long kErrorPageLimit = 25000;

enum class PackageVerdict {
  Good,
  Missing,       // no file, or a transfer that failed
  Empty,         // a file of no bytes
  Incomplete,    // shorter than announced (or, with exactSize, of another size)
  ErrorPage,     // a small file holding "<HTML>"
  TooSmall,      // with minimumSize: under kErrorPageLimit without being an error page
  Refused,       // its list or version file was refused (a bad or missing signature)
  NotListed,     // a signed list or version file names no hash for it
  HashMismatch,  // its SHA-256 is not the published one
};

struct PackageRules {
  bool exactSize = false;    // the size must be the announced one, not only reach it
  bool minimumSize = false;  // a file under kErrorPageLimit is never a package
};

// Judges `file`; the file stays where it is (the caller erases it, as it tells the
// user). `expectation` is asked only for a file that passed the size and error-page
// checks (it may fetch a list). A hash that differs is logged with the file, the
// expected and the found hash.
PackageVerdict CheckDownloadedFile(const std::string& file, bool transferEnded,
                                   long expectedSize,
                                   const std::function<Expectation()>& expectation,
                                   PackageRules rules = {});

// A sentence for the user about a verdict of Refused, NotListed or HashMismatch.
std::string VerificationFailureText(PackageVerdict verdict, const std::string& file,
                                    const Expectation& expected);

// What the runtime package at `packageUrl` must be: from the signed SHA256SUMS of its
// server's runtimes/ folder, fetched with `client`.
Expectation RuntimeListExpectation(cSHAREDInternet& client, const std::string& packageUrl);

// What a program's or the install center's package must be, from its version file.
struct VersionFile;
Expectation VersionFileExpectation(const SignedText& signedFile, const VersionFile& file);

}  // namespace twi
