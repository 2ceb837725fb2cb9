#pragma once
// A version file read into a value: line 1 the version (MAJOR.MINOR.REVISION and an
// optional suffix), line 2 the package's address, in which every "@@@" stands for the
// version's parts written together (1.2.0b gives 120b). The lines after the second
// are for people, except one "sha256 <64 hex digits>": the package's SHA-256, which
// the maker's signature on the file vouches for. Lines end in LF; a CR before it is
// ignored.
#include <string>

#include "platform/crypto/Sha256.h"
#include "update/VersionRecord.h"

namespace twi {

struct VersionFile {
  // False for a text without a second line (then nothing else is set).
  bool hasAddress = false;
  // False when line 1 has fewer than three parts.
  bool versionRead = false;
  VersionRecord version;
  std::string address;
  // None: no sha256 line; Given: exactly one well-formed one; Refused: two or more,
  // or one that is not 64 hex digits, so that no hash can be trusted.
  enum class Hash { None, Given, Refused } hash = Hash::None;
  crypto::Sha256Digest sha256{};
};

// Reads `text` as above. A version number too large for 16 bits leaves that number 0
// (and is logged).
VersionFile ReadVersionFile(const std::string& text);

// "1.2.0b" into its numbers and suffix; false, `out` unchanged, for fewer than three
// parts. A number too large for 16 bits leaves that field as it was (and is logged).
bool ReadVersion(const std::string& versionText, VersionRecord& out);

// `text` without its sha256 lines, as the user is shown it.
std::string WithoutHashLines(const std::string& text);

}  // namespace twi
