// The updater window's version-file parser, over the free reader of update/VersionFile.
// It reads no window state, so a window object that is never shown serves for it.
#include "update/VersionFile.h"
#include "update/fSHAREDUpdater.h"

namespace twi {

bool fSHAREDUpdater::ExtractVersionFromAppVer(const std::string& versionString, short& major,
                                              short& minor, short& revision,
                                              std::string& revLetter) {
  VersionRecord record{major, minor, revision, revLetter};
  if (!ReadVersion(versionString, record)) return false;
  major = record.major;
  minor = record.minor;
  revision = record.revision;
  revLetter = record.revLetter;
  return true;
}

bool fSHAREDUpdater::ExtractVersionFromWebFile(const std::string& dataString, short& newMajor,
                                               short& newMinor, short& newMinorRevision,
                                               std::string& revLetter, std::string& progUrl) {
  VersionFile file = ReadVersionFile(dataString);
  newMajor = file.version.major;
  newMinor = file.version.minor;
  newMinorRevision = file.version.revision;
  revLetter = file.version.revLetter;
  progUrl = file.address;
  return file.versionRead;
}

}  // namespace twi
