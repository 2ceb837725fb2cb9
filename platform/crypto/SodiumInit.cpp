#include "platform/crypto/SodiumInit.h"

#include <sodium/core.h>

namespace twi::crypto {

bool SodiumReady() {
  // sodium_init answers 0 the first time, 1 when already done, -1 on failure.
  static const bool ready = sodium_init() >= 0;
  return ready;
}

}  // namespace twi::crypto
