#pragma once
// The updater window. Its version-file parser works on a window object that is
// never shown: the main window uses it to read a program's download address.
//
// A version file: line 1 the version (MAJOR.MINOR.REVISION, optionally followed
// by a suffix such as "b"); line 2 the package address, in which every "@@@"
// stands for the version's parts written together (1.2.0b gives 120b); further
// lines are for people. Lines end in LF, a CR before it is ignored.
#include <string>

#include "ui/Form.h"

namespace twi {

class fSHAREDUpdater : public ui::Form {
 public:
  fSHAREDUpdater();

  // Parses line 1 and 2 of a version file. False (numbers 0, texts empty) when
  // the text has no second line; otherwise the result of the version parse.
  bool ExtractVersionFromWebFile(const std::string& dataString, short& newMajor, short& newMinor,
                                 short& newMinorRevision, std::string& revLetter,
                                 std::string& progUrl);
  // "1.2.0b" into 1, 2, 0 and "b". False, with the outputs unchanged, for fewer
  // than three parts. A number too large for 16 bits leaves that output as it
  // was (and is logged).
  bool ExtractVersionFromAppVer(const std::string& versionString, short& major, short& minor,
                                short& revision, std::string& revLetter);
};

}  // namespace twi
