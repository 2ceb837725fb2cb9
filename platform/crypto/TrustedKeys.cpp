#include "platform/crypto/TrustedKeys.h"

namespace twi::crypto {

const std::vector<PublicKey>& TrustedKeys() {
  static const std::vector<PublicKey> keys(kBuiltInKeys, kBuiltInKeys + kBuiltInKeyCount);
  return keys;
}

}  // namespace twi::crypto
