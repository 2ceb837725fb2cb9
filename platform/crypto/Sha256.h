#pragma once
// SHA-256 over libsodium: a streaming hash, a file's hash in one pass through a fixed
// buffer (a package of any size is never held in memory), and the digest as hex text.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include <sodium/crypto_hash_sha256.h>

namespace twi::crypto {

using Sha256Digest = std::array<unsigned char, 32>;

class Sha256 {
 public:
  Sha256();
  void Add(const void* data, std::size_t size);
  void Add(std::string_view bytes) { Add(bytes.data(), bytes.size()); }
  // The digest of everything added; the hash then starts afresh.
  Sha256Digest Finish();

 private:
  crypto_hash_sha256_state state_;
};

Sha256Digest Sha256Of(std::string_view bytes);

// The bytes a file held while it was read (opened for reading, others may only read
// it meanwhile), read once in 256 KB pieces; nullopt when it cannot be opened or read.
std::optional<Sha256Digest> Sha256OfFile(const std::string& utf8Path);

// 64 lower-case hex digits.
std::string HexOf(const Sha256Digest& digest);
// Exactly 64 hex digits, either case; nullopt for anything else (blanks included).
std::optional<Sha256Digest> DigestFromHex(std::string_view hex);

}  // namespace twi::crypto
