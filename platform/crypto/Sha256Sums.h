#pragma once
// The runtime packages' list of hashes, runtimes/SHA256SUMS, as `sha256sum` writes it:
// a line a file, 64 hex digits (either case), a blank, a blank or "*", and the file's
// name relative to runtimes/ with "/" between folders ("WINXP/RICHED.zip"). Lines end
// in LF (a CR before it is ignored); empty lines are skipped.
//
// The list is refused whole when any line is malformed, when a name is listed twice or
// when it lists nothing: a list that is partly unreadable vouches for nothing.
// Names are compared as Windows compares file names, ASCII letters in either case and
// "\" alike to "/", since the program asks for its packages by names such as
// "MSCOMCTL.zip"; a name listed twice in that sense is refused too.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/crypto/Sha256.h"

namespace twi::crypto {

struct Sha256SumsEntry {
  std::string name;
  Sha256Digest digest;
};

struct Sha256Sums {
  std::vector<Sha256SumsEntry> entries;  // in the list's order; empty when refused
  std::string error;                     // why the list was refused ("" when read)
  bool Ok() const { return error.empty(); }
  // The digest listed for `name`; nullopt when the list does not name it.
  std::optional<Sha256Digest> Find(std::string_view name) const;
};

inline constexpr std::size_t kMaxListedNameLength = 260;

Sha256Sums ParseSha256Sums(std::string_view text);

// Whether two listed names name the same file (see above).
bool SameListedName(std::string_view a, std::string_view b);

}  // namespace twi::crypto
