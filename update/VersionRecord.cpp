#include "update/VersionRecord.h"

#include "base/TextConv.h"

namespace twi {

bool VersionRecord::IsNewerThan(const VersionRecord& c) const {
  if (major > c.major) return true;
  if (major >= c.major && minor > c.minor) return true;
  if (major >= c.major && minor >= c.minor && revision > c.revision) return true;
  // std::string compares as unsigned character codes.
  return revLetter > c.revLetter && major >= c.major && minor >= c.minor && revision == c.revision;
}

std::string VersionRecord::ShownText() const {
  return UpperAscii(std::to_string(major) + "." + std::to_string(minor) + "." +
                    std::to_string(revision) + revLetter);
}

}  // namespace twi
