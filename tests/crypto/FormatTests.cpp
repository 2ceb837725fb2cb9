// The two signed text formats: the runtimes' SHA256SUMS list and a version file's
// sha256 line. A list or a line that is not exactly right is refused, never guessed at.
#include <gtest/gtest.h>

#include "platform/crypto/Sha256Sums.h"
#include "platform/crypto/VersionHash.h"

using namespace twi::crypto;

namespace {

const std::string kHashA = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
const std::string kHashB = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
const std::string kHashAUpper = "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD";

TEST(Sha256Sums, ParseCases) {
  struct Case {
    const char* name;
    std::string text;
    std::size_t entries;      // 0: refused
    const char* errorPart;    // a part of the refusal's text
  } cases[] = {
      {"as sha256sum writes it", kHashA + "  MSCOMCTL.zip\n" + kHashB + "  WINXP/RICHED.zip\n", 2, ""},
      {"CR LF line ends, no last line end", kHashA + "  MSCOMCTL.zip\r\n" + kHashB + "  B.zip", 2, ""},
      {"binary mode's \"*\"", kHashA + " *MSCOMCTL.zip\n", 1, ""},
      {"upper-case hash", kHashAUpper + "  MSCOMCTL.zip\n", 1, ""},
      {"blank lines skipped", "\n" + kHashA + "  A.zip\n\n", 1, ""},
      {"a malformed line refuses all", kHashA + "  A.zip\n" + kHashB.substr(1) + "  B.zip\n", 0,
       "line 2: does not start with 64 hex digits"},
      {"one blank only", kHashA + " A.zip\n", 0, "line 1: the hash is not followed"},
      {"no name", kHashA + "  \n", 0, "line 1: too short"},
      {"a name with a control character", kHashA + "  A\tB.zip\n", 0, "control character"},
      {"a name too long", kHashA + "  " + std::string(261, 'n') + "\n", 0, "too long"},
      {"a name listed twice in other case", kHashA + "  A.zip\n" + kHashB + "  a.ZIP\n", 0,
       "line 2: the name is listed twice"},
      {"empty", "", 0, "names no file"},
      {"blank lines only", "\r\n\n", 0, "names no file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Sha256Sums sums = ParseSha256Sums(c.text);
    EXPECT_EQ(sums.Ok(), c.entries > 0) << sums.error;
    EXPECT_EQ(sums.entries.size(), c.entries);
    EXPECT_NE(sums.error.find(c.errorPart), std::string::npos) << sums.error;
  }
}

TEST(Sha256Sums, NamesAreFoundAsWindowsComparesThem) {
  Sha256Sums sums = ParseSha256Sums(kHashA + "  MSCOMCTL.zip\n" + kHashB + "  WINXP/RICHED.zip\n");
  ASSERT_TRUE(sums.Ok()) << sums.error;
  struct Case {
    const char* name;
    const std::string* hash;  // null: not listed
  } cases[] = {
      {"MSCOMCTL.zip", &kHashA}, {"mscomctl.ZIP", &kHashA}, {"WINXP\\riched.zip", &kHashB},
      {"RICHED.zip", nullptr},   {"MSCOMCTL.zi", nullptr},  {"", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<Sha256Digest> digest = sums.Find(c.name);
    ASSERT_EQ(digest.has_value(), c.hash != nullptr);
    if (digest) {
      EXPECT_EQ(HexOf(*digest), *c.hash);
    }
  }
}

TEST(VersionHash, Sha256LineCases) {
  const std::string head = "2.1.3\r\nhttp://127.0.0.1/packages/TST_@@@.exe\r\n";
  using Kind = VersionHash::Kind;
  struct Case {
    const char* name;
    std::string text;
    Kind kind;
    const char* reasonPart;
  } cases[] = {
      {"none", head + "Release notes.\r\n", Kind::None, ""},
      {"only two lines", "2.1.3\nhttp://x.example/a.exe", Kind::None, ""},
      {"sha256 as the second line is the address", "2.1.3\nsha256 " + kHashA + "\n", Kind::None, ""},
      {"a word that only starts alike", head + "sha256sum of the package below\r\n", Kind::None, ""},
      {"one, CR LF", head + "sha256 " + kHashA + "\r\nRelease notes.\r\n", Kind::Found, ""},
      {"one, upper-case digits, LF, trailing blanks", "2.1.3\nhttp://x/a.exe\nsha256 " + kHashAUpper + "  ",
       Kind::Found, ""},
      {"one after the notes", head + "Release notes.\r\nsha256 " + kHashA + "\r\n", Kind::Found, ""},
      {"two, the same", head + "sha256 " + kHashA + "\r\nsha256 " + kHashA + "\r\n", Kind::Refused,
       "line 4: a second sha256 line"},
      {"two, different", head + "sha256 " + kHashA + "\r\nnotes\r\nsha256 " + kHashB + "\r\n",
       Kind::Refused, "line 5"},
      {"63 digits", head + "sha256 " + kHashA.substr(1) + "\r\n", Kind::Refused, "line 3"},
      {"upper-case word", head + "SHA256 " + kHashA + "\r\n", Kind::Refused, "line 3"},
      {"a colon", head + "sha256:" + kHashA + "\r\n", Kind::Refused, "line 3"},
      {"two blanks", head + "sha256  " + kHashA + "\r\n", Kind::Refused, "line 3"},
      {"a tab", head + "sha256\t" + kHashA + "\r\n", Kind::Refused, "line 3"},
      {"no digits", head + "sha256\r\n", Kind::Refused, "line 3"},
      {"a good one and a malformed one", head + "sha256 " + kHashA + "\r\nsha256 x\r\n",
       Kind::Refused, "line 4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    VersionHash hash = Sha256LineOf(c.text);
    EXPECT_EQ(hash.kind, c.kind) << hash.reason;
    EXPECT_NE(hash.reason.find(c.reasonPart), std::string::npos) << hash.reason;
    if (c.kind == Kind::Found) {
      EXPECT_EQ(HexOf(hash.digest), kHashA);
    }
  }
}

}  // namespace
