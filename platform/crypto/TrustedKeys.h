#pragma once
// The public keys compiled into this build, from the key file that CMake's
// TWI_TRUSTED_KEYS names (keys/maker.pub by default) and, unless TWI_RELEASE is on,
// the build's own test key (build/keys/test.pub). platform/crypto/Keys.cmake writes
// the definitions into a generated source file of the build folder.
#include <cstddef>

#include "platform/crypto/Signature.h"

namespace twi::crypto {

extern const PublicKey kBuiltInKeys[];
extern const std::size_t kBuiltInKeyCount;
// True in a test or demo build, which trusts its test key besides the maker's.
extern const bool kTrustsTestKey;

}  // namespace twi::crypto
