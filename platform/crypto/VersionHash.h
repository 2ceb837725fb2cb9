#pragma once
// The package hash of a version file: after its second line (the package's address),
// a line "sha256 <64 hex digits>" (the digits in either case) gives the SHA-256 of the
// package that address names. Lines end in LF, a CR before it is ignored.
//
// A version file without such a line names no hash. A line that starts with the word
// "sha256" in any case (blanks before it, "SHA256 ", "sha256:" too; not "sha256sum")
// but is not exactly that word, one blank and 64 hex digits (blanks at its end
// allowed) is malformed; a malformed line or two such lines
// refuse the file's hash altogether: which one the maker meant cannot be known.
#include <string>
#include <string_view>

#include "platform/crypto/Sha256.h"

namespace twi::crypto {

struct VersionHash {
  enum class Kind { None, Found, Refused };
  Kind kind = Kind::None;
  Sha256Digest digest{};  // when Found
  std::string reason;     // when Refused: which line, and what is wrong with it
};

VersionHash Sha256LineOf(std::string_view versionFileText);

// Whether a line starts with the word "sha256" in any case ("sha256:", "SHA256 " too,
// not "sha256sum"): such a line is meant as the hash, and is refused when it is not
// exactly right. No reader shows it to people.
bool IsHashLine(std::string_view line);

}  // namespace twi::crypto
