// SHA-256: the standard's vectors fed in pieces, the hex forms, a file against
// sha256sum's answer, and a file far larger than memory would hold hashed in flat memory.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "base/TextConv.h"
#include "base/UniqueHandle.h"
#include "crypto/CryptoFixtures.h"
#include "platform/crypto/Sha256.h"

using namespace twi::crypto;

namespace {

struct Vector {
  const char* name;
  std::string message;
  const char* hex;
};

TEST(Sha256, StandardVectorsInUnevenPieces) {
  const Vector vectors[] = {
      {"empty", "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"448 bits", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {"a million a", std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const Vector& v : vectors) {
    SCOPED_TRACE(v.name);
    EXPECT_EQ(HexOf(Sha256Of(v.message)), v.hex);
    // Pieces of 1, 2, 3, ... 200 bytes and again, crossing the 64-byte blocks unevenly.
    Sha256 hash;
    std::size_t at = 0, piece = 1;
    while (at < v.message.size()) {
      std::size_t size = std::min(piece, v.message.size() - at);
      hash.Add(v.message.data() + at, size);
      at += size;
      piece = piece % 200 + 1;
    }
    EXPECT_EQ(HexOf(hash.Finish()), v.hex);
    // Finish starts the hash afresh.
    EXPECT_EQ(HexOf(hash.Finish()), vectors[0].hex);
  }
}

TEST(Sha256, DigestFromHexTakesExactlySixtyFourDigitsOfEitherCase) {
  const std::string lower = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
  std::string upper = lower;
  std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
  struct Case {
    const char* name;
    std::string text;
    bool valid;
  } cases[] = {
      {"lower case", lower, true},
      {"upper case", upper, true},
      {"63 digits", lower.substr(1), false},
      {"65 digits", lower + "0", false},
      {"a letter past f", "g" + lower.substr(1), false},
      {"a trailing blank", lower.substr(1) + " ", false},
      {"empty", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<Sha256Digest> digest = DigestFromHex(c.text);
    ASSERT_EQ(digest.has_value(), c.valid);
    if (c.valid) {
      EXPECT_EQ(HexOf(*digest), lower);
    }
  }
}

TEST(Sha256OfFile, MatchesSha256sumOfTheFixture) {
  std::optional<Sha256Digest> digest = Sha256OfFile(cryptotest::Fixture("sample.bin"));
  ASSERT_TRUE(digest);
  EXPECT_EQ(HexOf(*digest), cryptotest::FixtureBytes("sample.bin.sha256"));
}

TEST(Sha256OfFile, NothingForAFileThatCannotBeRead) {
  twitest::ScratchFolder folder;
  EXPECT_FALSE(Sha256OfFile(folder.File("missing.zip")));
  EXPECT_FALSE(Sha256OfFile(folder.Path()));  // a folder
  // A file someone holds without letting others read it.
  twitest::WriteFileBytes(folder.File("held.zip"), "bytes");
  twitest::FileHeldOpen held(folder.File("held.zip"), 0);
  ASSERT_TRUE(held.Held());
  EXPECT_FALSE(Sha256OfFile(folder.File("held.zip")));
}

// Writes `megabytes` MB of a pattern that differs from one megabyte to the next, and
// hashes the same bytes as they are written, in memory a megabyte at a time.
Sha256Digest WriteBigFile(const std::string& path, int megabytes) {
  twi::UniqueHandle file(CreateFileW(twi::ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  EXPECT_TRUE(file) << GetLastError();
  std::vector<unsigned char> piece(1024 * 1024);
  Sha256 expected;
  for (int mb = 0; mb < megabytes && file; ++mb) {
    for (std::size_t i = 0; i < piece.size(); ++i)
      piece[i] = static_cast<unsigned char>((i * 31 + mb * 7) ^ (i >> 12));
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file.Get(), piece.data(), static_cast<DWORD>(piece.size()), &written,
                          nullptr));
    expected.Add(piece.data(), written);
  }
  return expected.Finish();
}

TEST(Sha256OfFile, TwoHundredMegabytesInFlatMemory) {
  twitest::ScratchFolder folder(twitest::ScratchFolder::OnUnixTmp);
  const std::string big = folder.File("big.bin");
  const Sha256Digest expected = WriteBigFile(big, 200);
  // The peak so far covers the writing's buffer; hashing must not raise it by more
  // than its own 256 KB buffer and a little.
  const SIZE_T before = twitest::PeakWorkingSet();
  std::optional<Sha256Digest> digest = Sha256OfFile(big);
  const SIZE_T growth = twitest::PeakWorkingSet() - before;
  DeleteFileW(twi::ToWide(big).c_str());
  ASSERT_TRUE(digest);
  EXPECT_EQ(HexOf(*digest), HexOf(expected));
  EXPECT_LT(growth, 3u * 1024 * 1024) << "peak working set grew by " << growth << " bytes";
  std::printf("200 MB hashed; peak working set grew by %.2f MB\n", growth / 1048576.0);
}

}  // namespace
