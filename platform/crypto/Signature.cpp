#include "platform/crypto/Signature.h"

#include <sodium/crypto_sign.h>

#include "platform/crypto/SodiumInit.h"

namespace twi::crypto {

static_assert(kSignatureSize == crypto_sign_BYTES);
static_assert(sizeof(PublicKey) == crypto_sign_PUBLICKEYBYTES);

bool VerifyDetached(std::string_view message, std::string_view signature, const PublicKey& key) {
  if (signature.size() != kSignatureSize || !SodiumReady()) return false;
  return crypto_sign_verify_detached(reinterpret_cast<const unsigned char*>(signature.data()),
                                     reinterpret_cast<const unsigned char*>(message.data()),
                                     message.size(), key.data()) == 0;
}

bool SignedByTrustedKey(std::string_view message, std::string_view signature) {
  for (const PublicKey& key : TrustedKeys())
    if (VerifyDetached(message, signature, key)) return true;
  return false;
}

}  // namespace twi::crypto
