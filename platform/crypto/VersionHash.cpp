#include "platform/crypto/VersionHash.h"

#include "platform/crypto/Lines.h"

namespace twi::crypto {
namespace {

constexpr std::string_view kWord = "sha256";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view WithoutTrailingBlanks(std::string_view line) {
  while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
  return line;
}

bool IsLetterOrDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::optional<Sha256Digest> DigestOfHashLine(std::string_view line) {
  line = WithoutTrailingBlanks(line);
  if (line.substr(0, kWord.size()) != kWord || line.size() <= kWord.size() ||
      line[kWord.size()] != ' ')
    return std::nullopt;
  return DigestFromHex(line.substr(kWord.size() + 1));
}

}  // namespace

bool IsHashLine(std::string_view line) {
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  if (line.size() < kWord.size()) return false;
  for (std::size_t i = 0; i < kWord.size(); ++i)
    if ((line[i] | 0x20) != kWord[i]) return false;
  return line.size() == kWord.size() || !IsLetterOrDigit(line[kWord.size()]);
}

VersionHash Sha256LineOf(std::string_view versionFileText) {
  VersionHash result;
  std::vector<std::string_view> lines = LinesOf(versionFileText);
  for (std::size_t i = 2; i < lines.size(); ++i) {
    if (!IsHashLine(lines[i])) continue;
    const std::string where = "line " + std::to_string(i + 1);
    if (result.kind == VersionHash::Kind::Found) {
      return {VersionHash::Kind::Refused, {}, where + ": a second sha256 line"};
    }
    std::optional<Sha256Digest> digest = DigestOfHashLine(lines[i]);
    if (!digest) {
      return {VersionHash::Kind::Refused, {},
              where + ": not \"sha256\", one blank and 64 hex digits"};
    }
    result.kind = VersionHash::Kind::Found;
    result.digest = *digest;
  }
  return result;
}

}  // namespace twi::crypto
