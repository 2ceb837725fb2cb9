#include "platform/crypto/Sha256Sums.h"

#include "platform/crypto/Lines.h"

namespace twi::crypto {
namespace {

constexpr std::size_t kHexDigits = 64;

char FoldedNameChar(char c) {
  if (c == '\\') return '/';
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
  return c;
}

// Reads one line into `entry`; the reason it is malformed otherwise.
std::string ReadEntry(std::string_view line, Sha256SumsEntry& entry) {
  if (line.size() < kHexDigits + 3) return "too short for a hash and a name";
  std::optional<Sha256Digest> digest = DigestFromHex(line.substr(0, kHexDigits));
  if (!digest) return "does not start with 64 hex digits";
  if (line[kHexDigits] != ' ' || (line[kHexDigits + 1] != ' ' && line[kHexDigits + 1] != '*'))
    return "the hash is not followed by two blanks or a blank and \"*\"";
  std::string_view name = line.substr(kHexDigits + 2);
  if (name.size() > kMaxListedNameLength) return "the name is too long";
  for (char c : name)
    if (static_cast<unsigned char>(c) < 0x20) return "the name holds a control character";
  entry.name = std::string(name);
  entry.digest = *digest;
  return "";
}

}  // namespace

bool SameListedName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldedNameChar(a[i]) != FoldedNameChar(b[i])) return false;
  return true;
}

std::optional<Sha256Digest> Sha256Sums::Find(std::string_view name) const {
  for (const Sha256SumsEntry& entry : entries)
    if (SameListedName(entry.name, name)) return entry.digest;
  return std::nullopt;
}

Sha256Sums ParseSha256Sums(std::string_view text) {
  Sha256Sums sums;
  std::size_t number = 0;
  for (std::string_view line : LinesOf(text)) {
    ++number;
    if (line.empty()) continue;
    Sha256SumsEntry entry;
    std::string problem = ReadEntry(line, entry);
    if (problem.empty() && sums.Find(entry.name)) problem = "the name is listed twice";
    if (!problem.empty()) {
      sums.entries.clear();
      sums.error = "line " + std::to_string(number) + ": " + problem;
      return sums;
    }
    sums.entries.push_back(std::move(entry));
  }
  if (sums.entries.empty()) sums.error = "the list names no file";
  return sums;
}

}  // namespace twi::crypto
