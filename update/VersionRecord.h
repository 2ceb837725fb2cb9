#pragma once
// A program version as the update check compares it: three 16-bit numbers and
// a suffix ("1.2.0b": 1, 2, 0 and "b").
#include <string>

namespace twi {

struct VersionRecord {
  short major = 0;
  short minor = 0;
  short revision = 0;
  std::string revLetter;

  // True when this (released) version is newer than `running`: a higher major,
  // minor or revision number (each only where the ones before are not lower),
  // or, at the same revision, a suffix that is greater by character codes
  // ("b" > "a" > "" and "a" > "B").
  bool IsNewerThan(const VersionRecord& running) const;
  // "1.2.0B": the numbers joined by "." and the suffix in capitals, as the
  // user sees it.
  std::string ShownText() const;
};

}  // namespace twi
