#pragma once
// Ed25519 detached signatures over libsodium. A signature covers a file's bytes as
// the server sent them: the message is the raw bytes, never a decoded text.
#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

namespace twi::crypto {

using PublicKey = std::array<unsigned char, 32>;
inline constexpr std::size_t kSignatureSize = 64;

// True when `signature` (the raw 64 bytes of a .sig file) is `key`'s over `message`;
// false for a signature of any other length.
bool VerifyDetached(std::string_view message, std::string_view signature, const PublicKey& key);

// The keys this build trusts (compiled in from the build's key file; TrustedKeys.h).
const std::vector<PublicKey>& TrustedKeys();
// True when one of TrustedKeys() made `signature` over `message`.
bool SignedByTrustedKey(std::string_view message, std::string_view signature);

}  // namespace twi::crypto
