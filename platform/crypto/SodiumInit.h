#pragma once
// libsodium is made ready once, on the layer's first use, by the layer itself.

namespace twi::crypto {

// True when libsodium is ready (sodium_init succeeded now or before).
bool SodiumReady();

}  // namespace twi::crypto
