#include "update/PackageCheck.h"

#include "base/FileSystem.h"
#include "base/TextConv.h"
#include "diag/cSharedLogging.h"
#include "platform/crypto/Sha256.h"
#include "platform/crypto/Sha256Sums.h"
#include "sys/cSharedFileSubs.h"
#include "update/VersionFile.h"

namespace twi {
namespace {

PackageVerdict SizeVerdict(const std::string& file, bool transferEnded, long expectedSize,
                           PackageRules rules) {
  cSharedFileSubs& files = TheFileSubs();
  if (!transferEnded || !files.FileExists(file)) return PackageVerdict::Missing;
  const long long length = FileLen(file);
  // (Held to an exact announced size, an empty file is one that came incomplete.)
  if (length == 0 && !(rules.exactSize && expectedSize >= 1)) return PackageVerdict::Empty;
  if (expectedSize >= 1 && (length < expectedSize || (rules.exactSize && length != expectedSize)))
    return PackageVerdict::Incomplete;
  if (length < kErrorPageLimit) {
    std::string text;
    files.LoadTextFile(file, text);
    if (ContainsNoCase(text, "<HTML>")) return PackageVerdict::ErrorPage;
    if (rules.minimumSize) return PackageVerdict::TooSmall;
  }
  return PackageVerdict::Good;
}

PackageVerdict HashVerdict(const std::string& file, const Expectation& expected) {
  if (expected.trust == Trust::Unsigned) {
    TheLog().LogEvent(file + ": not verified (its server signs nothing)");
    return PackageVerdict::Good;
  }
  if (expected.trust == Trust::Refused) return PackageVerdict::Refused;
  if (!expected.sha256) {
    TheLog().LogEvent(file + ": refused: " + expected.source + " names no SHA-256 for it");
    return PackageVerdict::NotListed;
  }
  std::optional<crypto::Sha256Digest> found = crypto::Sha256OfFile(file);
  const std::string expectedHex = crypto::HexOf(*expected.sha256);
  const std::string foundHex = found ? crypto::HexOf(*found) : "(unreadable)";
  if (!found || *found != *expected.sha256) {
    TheLog().LogEvent(file + ": refused: SHA-256 expected " + expectedHex + ", found " +
                      foundHex + " (" + expected.source + ")");
    return PackageVerdict::HashMismatch;
  }
  TheLog().LogEvent(file + ": verified (SHA-256 " + foundHex + ")");
  return PackageVerdict::Good;
}

}  // namespace

PackageVerdict CheckDownloadedFile(const std::string& file, bool transferEnded,
                                   long expectedSize,
                                   const std::function<Expectation()>& expectation,
                                   PackageRules rules) {
  PackageVerdict verdict = SizeVerdict(file, transferEnded, expectedSize, rules);
  if (verdict != PackageVerdict::Good) return verdict;
  return HashVerdict(file, expectation());
}

std::string VerificationFailureText(PackageVerdict verdict, const std::string& file,
                                    const Expectation& expected) {
  const std::string name = TheFileSubs().FileOnly(file);
  switch (verdict) {
    case PackageVerdict::Refused:
      return expected.why + " " + name + " was not installed.";
    case PackageVerdict::NotListed:
      return name + " is not among the files the maker signed (" + expected.source +
             "), so it was removed and not installed.";
    case PackageVerdict::HashMismatch:
      return name + " is not the file the maker signed (its SHA-256 differs), so it was "
             "removed and not installed.";
    default: return "";
  }
}

Expectation RuntimeListExpectation(cSHAREDInternet& client, const std::string& packageUrl) {
  const std::string server = ServerOf(packageUrl);
  const std::string folder = server + "runtimes/";
  Expectation expected;
  expected.source = folder + "SHA256SUMS";
  SignedText list = FetchSigned(client, expected.source, "the list of runtime packages");
  if (!list.fetched) {
    expected.listFetched = false;
    if (!SignaturesRequiredFrom(server)) return expected;  // an unsigned server
    expected.trust = Trust::Refused;
    expected.why = "The list of runtime packages of " + server +
                   " could not be fetched, and that server's files must be signed.";
    return expected;
  }
  expected.trust = list.trust;
  expected.why = list.why;
  if (list.trust != Trust::Verified) return expected;
  const crypto::Sha256Sums sums = crypto::ParseSha256Sums(list.bytes);
  if (!sums.Ok()) {
    expected.trust = Trust::Refused;
    expected.why = "The signed list of runtime packages " + expected.source +
                   " cannot be read (" + sums.error + ").";
    TheLog().LogEvent(expected.source + ": refused: " + sums.error);
    return expected;
  }
  const std::string name = packageUrl.substr(std::min(packageUrl.size(), folder.size()));
  expected.sha256 = sums.Find(name);
  return expected;
}

Expectation VersionFileExpectation(const SignedText& signedFile, const VersionFile& file) {
  Expectation expected;
  expected.source = signedFile.url;
  expected.trust = signedFile.trust;
  expected.why = signedFile.why;
  if (signedFile.trust != Trust::Verified) return expected;
  if (file.hash == VersionFile::Hash::Refused) {
    expected.trust = Trust::Refused;
    expected.why = "The version file names its package's SHA-256 more than once or not as 64 "
                   "hex digits.";
  } else if (file.hash == VersionFile::Hash::Given) {
    expected.sha256 = file.sha256;
  }
  return expected;
}

}  // namespace twi
