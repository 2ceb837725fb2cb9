#include "update/VersionFile.h"

#include <vector>

#include "base/RuntimeError.h"
#include "base/TextConv.h"
#include "diag/TrapToLog.h"
#include "platform/crypto/VersionHash.h"

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

bool ReadVersion(const std::string& versionText, VersionRecord& out) {
  std::vector<std::string> parts = SplitAt(versionText, '.', std::string::npos);
  if (parts.size() < 3) return false;
  auto parse = [&](const std::string& part, short& number) {
    TrapToLog("ExtractVersionFromAppVer", kModule, [&] { number = LeadingNumber16(part); },
              ErrorStyle::Tight);
  };
  parse(parts[0], out.major);
  parse(parts[1], out.minor);
  parse(parts[2], out.revision);
  const std::string& third = parts[2];
  std::string revisionText = std::to_string(out.revision);
  if (third.size() != revisionText.size())
    out.revLetter = third.size() > revisionText.size() ? third.substr(revisionText.size()) : "";
  return true;
}

VersionFile ReadVersionFile(const std::string& text) {
  VersionFile file;
  std::vector<std::string> pieces = SplitAt(text, '\n', 3);
  if (pieces.size() < 2) return file;
  file.hasAddress = true;
  file.versionRead = ReadVersion(ReplaceAll(pieces[0], "\r", ""), file.version);
  const VersionRecord& v = file.version;
  std::string parts = std::to_string(v.major) + std::to_string(v.minor) +
                      std::to_string(v.revision) + v.revLetter;
  file.address = ReplaceAll(ReplaceAll(pieces[1], "\r", ""), "@@@", parts);
  if (pieces.size() < 3) return file;
  const crypto::VersionHash hash = crypto::Sha256LineOf(text);
  if (hash.kind == crypto::VersionHash::Kind::Found) {
    file.hash = VersionFile::Hash::Given;
    file.sha256 = hash.digest;
  } else if (hash.kind == crypto::VersionHash::Kind::Refused) {
    file.hash = VersionFile::Hash::Refused;
  }
  return file;
}

std::string WithoutHashLines(const std::string& text) {
  std::string kept;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    size_t next = end == std::string::npos ? text.size() : end + 1;
    std::string line = ReplaceAll(text.substr(start, end == std::string::npos ? std::string::npos
                                                                              : end - start),
                                  "\r", "");
    if (!crypto::IsHashLine(line)) kept += text.substr(start, next - start);
    start = next;
  }
  return kept;
}

}  // namespace twi
