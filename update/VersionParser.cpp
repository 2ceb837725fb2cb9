// The updater window's version-file parser (see fSHAREDUpdater.h for the file's
// format). It reads no window state, so a window object that is never shown
// serves for it.
#include <vector>

#include "base/RuntimeError.h"
#include "base/TextConv.h"
#include "diag/TrapToLog.h"
#include "update/fSHAREDUpdater.h"

namespace twi {
namespace {

constexpr const char* kModule = "fSharedUpdater";

std::vector<std::string> SplitAt(const std::string& text, char separator, size_t maxPieces) {
  std::vector<std::string> pieces;
  size_t start = 0;
  while (pieces.size() + 1 < maxPieces) {
    size_t at = text.find(separator, start);
    if (at == std::string::npos) break;
    pieces.push_back(text.substr(start, at - start));
    start = at + 1;
  }
  pieces.push_back(text.substr(start));
  return pieces;
}

// The leading number of a text, blanks anywhere skipped, 0 when it has none.
// Throws error 6 (overflow) when it does not fit 16 bits.
short LeadingNumber16(const std::string& text) {
  std::string compact;
  for (char c : text)
    if (c != ' ' && c != '\t') compact.push_back(c);
  size_t i = 0;
  bool negative = false;
  if (i < compact.size() && (compact[i] == '+' || compact[i] == '-')) negative = compact[i++] == '-';
  long long value = 0;
  for (; i < compact.size() && compact[i] >= '0' && compact[i] <= '9'; ++i) {
    value = value * 10 + (compact[i] - '0');
    if (value > 1000000) break;
  }
  if (negative) value = -value;
  if (value < -32768 || value > 32767) throw RuntimeError::Numbered(err::Overflow);
  return static_cast<short>(value);
}

}  // namespace

bool fSHAREDUpdater::ExtractVersionFromAppVer(const std::string& versionString, short& major,
                                              short& minor, short& revision,
                                              std::string& revLetter) {
  std::vector<std::string> parts = SplitAt(versionString, '.', std::string::npos);
  if (parts.size() < 3) return false;
  auto parse = [&](const std::string& part, short& out) {
    TrapToLog("ExtractVersionFromAppVer", kModule, [&] { out = LeadingNumber16(part); },
              ErrorStyle::Tight);
  };
  parse(parts[0], major);
  parse(parts[1], minor);
  parse(parts[2], revision);
  const std::string& third = parts[2];
  std::string revisionText = std::to_string(revision);
  if (third.size() != revisionText.size())
    revLetter = third.size() > revisionText.size() ? third.substr(revisionText.size()) : "";
  return true;
}

bool fSHAREDUpdater::ExtractVersionFromWebFile(const std::string& dataString, short& newMajor,
                                               short& newMinor, short& newMinorRevision,
                                               std::string& revLetter, std::string& progUrl) {
  std::vector<std::string> pieces = SplitAt(dataString, '\n', 3);
  if (pieces.size() < 2) {
    newMajor = newMinor = newMinorRevision = 0;
    revLetter.clear();
    progUrl.clear();
    return false;
  }
  bool result = ExtractVersionFromAppVer(ReplaceAll(pieces[0], "\r", ""), newMajor, newMinor,
                                         newMinorRevision, revLetter);
  std::string parts = std::to_string(newMajor) + std::to_string(newMinor) +
                      std::to_string(newMinorRevision) + revLetter;
  progUrl = ReplaceAll(ReplaceAll(pieces[1], "\r", ""), "@@@", parts);
  return result;
}

}  // namespace twi
