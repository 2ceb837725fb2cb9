#pragma once
// The crypto suite's fixtures, made at build time by tests/crypto/make_fixtures.py
// into build/fixtures/crypto/ with sha256sum, openssl and scripts/sign-release.
#include <string>

#include "support/TestSupport.h"

namespace cryptotest {

// The Windows path of a fixture file ("site/versions/TST_current.txt").
inline std::string Fixture(const std::string& relative) {
  return twitest::WindowsPathOf(std::string(TWI_FIXTURE_DIR) + "/crypto/" + relative);
}

inline std::string FixtureBytes(const std::string& relative) {
  return twitest::ReadFileBytes(Fixture(relative));
}

}  // namespace cryptotest
