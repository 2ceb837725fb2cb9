#include "platform/crypto/Sha256.h"

#include <windows.h>

#include <vector>

#include "base/TextConv.h"
#include "base/UniqueHandle.h"
#include "platform/crypto/SodiumInit.h"

namespace twi::crypto {
namespace {

constexpr DWORD kFileBufferSize = 256 * 1024;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

Sha256::Sha256() {
  SodiumReady();
  crypto_hash_sha256_init(&state_);
}

void Sha256::Add(const void* data, std::size_t size) {
  crypto_hash_sha256_update(&state_, static_cast<const unsigned char*>(data), size);
}

Sha256Digest Sha256::Finish() {
  Sha256Digest digest{};
  crypto_hash_sha256_final(&state_, digest.data());
  crypto_hash_sha256_init(&state_);
  return digest;
}

Sha256Digest Sha256Of(std::string_view bytes) {
  Sha256 hash;
  hash.Add(bytes);
  return hash.Finish();
}

std::optional<Sha256Digest> Sha256OfFile(const std::string& utf8Path) {
  UniqueHandle file(CreateFileW(ToWide(utf8Path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return std::nullopt;
  std::vector<unsigned char> buffer(kFileBufferSize);
  Sha256 hash;
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.Get(), buffer.data(), kFileBufferSize, &got, nullptr)) return std::nullopt;
    if (got == 0) break;
    hash.Add(buffer.data(), got);
  }
  return hash.Finish();
}

std::string HexOf(const Sha256Digest& digest) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(digest.size() * 2);
  for (unsigned char byte : digest) {
    hex.push_back(kDigits[byte >> 4]);
    hex.push_back(kDigits[byte & 0x0F]);
  }
  return hex;
}

std::optional<Sha256Digest> DigestFromHex(std::string_view hex) {
  Sha256Digest digest{};
  if (hex.size() != digest.size() * 2) return std::nullopt;
  for (std::size_t i = 0; i < digest.size(); ++i) {
    int high = HexValue(hex[2 * i]), low = HexValue(hex[2 * i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    digest[i] = static_cast<unsigned char>(high << 4 | low);
  }
  return digest;
}

}  // namespace twi::crypto
