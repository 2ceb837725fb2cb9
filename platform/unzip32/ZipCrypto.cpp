#include "platform/unzip32/ZipCrypto.h"

#include <zlib.h>

namespace unzip32 {
namespace {

// One step of CRC-32 over a single byte, on zlib's table.
uint32_t Crc32Step(uint32_t crc, unsigned char byte) {
  static const z_crc_t* const table = get_crc_table();
  return table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

}  // namespace

ZipCrypto::ZipCrypto(std::string_view password) : keys_{0x12345678u, 0x23456789u, 0x34567890u} {
  for (char c : password) Update(static_cast<unsigned char>(c));
}

void ZipCrypto::Update(unsigned char plain) {
  keys_[0] = Crc32Step(keys_[0], plain);
  keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
  keys_[2] = Crc32Step(keys_[2], static_cast<unsigned char>(keys_[1] >> 24));
}

unsigned char ZipCrypto::KeyStreamByte() const {
  uint32_t temp = (keys_[2] & 0xFFFF) | 2;
  return static_cast<unsigned char>((temp * (temp ^ 1)) >> 8);
}

void ZipCrypto::Decrypt(unsigned char* data, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) {
    data[i] ^= KeyStreamByte();
    Update(data[i]);
  }
}

bool ZipCrypto::AcceptsHeader(const unsigned char* header, unsigned char checkByte) {
  unsigned char copy[kHeaderSize];
  for (std::size_t i = 0; i < kHeaderSize; ++i) copy[i] = header[i];
  Decrypt(copy, kHeaderSize);
  return copy[kHeaderSize - 1] == checkByte;
}

}  // namespace unzip32
