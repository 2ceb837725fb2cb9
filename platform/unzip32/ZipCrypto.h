#pragma once
// Traditional zip encryption ("ZipCrypto"): three 32-bit keys driven by the password
// and then by every plain byte. Each encrypted entry starts with a 12-byte header whose
// last byte, decrypted, must equal a check byte the entry's directory record predicts.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace unzip32 {

class ZipCrypto {
 public:
  static constexpr std::size_t kHeaderSize = 12;

  explicit ZipCrypto(std::string_view password);
  // Decrypts a copy of the 12-byte header; true when its last byte is `checkByte`.
  // The keys then stand where the entry's data begins.
  bool AcceptsHeader(const unsigned char* header, unsigned char checkByte);
  void Decrypt(unsigned char* data, std::size_t size);

 private:
  void Update(unsigned char plain);
  unsigned char KeyStreamByte() const;

  uint32_t keys_[3];
};

}  // namespace unzip32
