// Ed25519: what scripts/sign-release signed (with the build's test key) verifies;
// anything changed, cut, lengthened or signed by another key is refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "base/TextConv.h"
#include "crypto/CryptoFixtures.h"
#include "platform/crypto/Sha256.h"
#include "platform/crypto/TrustedKeys.h"

using namespace twi::crypto;

namespace {

// The build's test key, read from its key file (the line that is not a comment).
PublicKey TestPublicKey() {
  std::istringstream lines(cryptotest::FixtureBytes("test.pub"));
  for (std::string line; std::getline(lines, line);)
    if (std::optional<Sha256Digest> key = DigestFromHex(line)) return *key;
  ADD_FAILURE() << "no key in test.pub";
  return {};
}

struct SignedFile {
  const char* name;
  const char* file;
};
// The signed texts of the fixture site: a version file and the runtimes' list.
const SignedFile kSignedFiles[] = {
    {"version file", "site/versions/TST_current.txt"},
    {"SHA256SUMS", "site/runtimes/SHA256SUMS"},
};

TEST(Signature, TheTestKeyIsTrustedByThisBuild) {
  ASSERT_TRUE(kTrustsTestKey);
  const std::vector<PublicKey>& keys = TrustedKeys();
  EXPECT_NE(std::find(keys.begin(), keys.end(), TestPublicKey()), keys.end());
}

TEST(Signature, SignedBySignReleaseVerifiesAndAnyChangeRefuses) {
  for (const SignedFile& signedFile : kSignedFiles) {
    const std::string message = cryptotest::FixtureBytes(signedFile.file);
    const std::string signature = cryptotest::FixtureBytes(std::string(signedFile.file) + ".sig");
    const std::string otherKeys =
        cryptotest::FixtureBytes("other-" + std::string(signedFile.file) + ".sig");
    ASSERT_EQ(signature.size(), kSignatureSize);
    ASSERT_FALSE(message.empty());
    std::string changedByte = message;
    changedByte[changedByte.size() / 2] ^= 0x01;
    std::string flippedSignature = signature;
    flippedSignature[10] ^= 0x80;
    struct Case {
      const char* name;
      std::string message, signature;
      bool valid;
    } cases[] = {
        {"as signed", message, signature, true},
        {"one byte of the file changed", changedByte, signature, false},
        {"a CR LF file read as LF", twi::ReplaceAll(message, "\r\n", "\n"), signature,
         message.find("\r\n") == std::string::npos},
        {"one bit of the signature flipped", message, flippedSignature, false},
        {"63-byte signature", message, signature.substr(0, 63), false},
        {"65-byte signature", message, signature + '\0', false},
        {"empty signature", message, "", false},
        {"another key's signature", message, otherKeys, false},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(signedFile.name) + ": " + c.name);
      EXPECT_EQ(VerifyDetached(c.message, c.signature, TestPublicKey()), c.valid);
      EXPECT_EQ(SignedByTrustedKey(c.message, c.signature), c.valid);
    }
  }
}

}  // namespace
