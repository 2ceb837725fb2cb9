// Reading version files: the version line, the address with its placeholder,
// and what stays as it was when a file is not one.
#include <gtest/gtest.h>

#include "diag/cSharedLogging.h"
#include "update/fSHAREDUpdater.h"

namespace {

struct Parsed {
  bool ok = false;
  short major = 0, minor = 0, revision = 0;
  std::string letter, url;
};

Parsed FromWebFile(const std::string& text) {
  twi::fSHAREDUpdater updater;
  Parsed p;
  p.ok = updater.ExtractVersionFromWebFile(text, p.major, p.minor, p.revision, p.letter, p.url);
  return p;
}

TEST(VersionFile, VersionAndAddressWithCrLf) {
  Parsed p = FromWebFile("1.2.1\r\nhttp://www.example.test/pkg@@@.exe\r\n");
  EXPECT_TRUE(p.ok);
  EXPECT_EQ(p.major, 1);
  EXPECT_EQ(p.minor, 2);
  EXPECT_EQ(p.revision, 1);
  EXPECT_EQ(p.letter, "");
  EXPECT_EQ(p.url, "http://www.example.test/pkg121.exe");
}

TEST(VersionFile, SuffixesAndEveryPlaceholder) {
  Parsed b = FromWebFile("1.2.0b\nhttp://h/@@@/x@@@.zip");
  EXPECT_EQ(b.revision, 0);
  EXPECT_EQ(b.letter, "b");
  EXPECT_EQ(b.url, "http://h/120b/x120b.zip");
  Parsed ten = FromWebFile("3.10.2\nhttp://h/@@@.zip");
  EXPECT_EQ(ten.minor, 10);
  EXPECT_EQ(ten.url, "http://h/3102.zip");
  Parsed beta = FromWebFile("2.0.10beta\nu");
  EXPECT_EQ(beta.revision, 10);
  EXPECT_EQ(beta.letter, "beta");
  Parsed leadingZero = FromWebFile("2.0.03\nu");
  EXPECT_EQ(leadingZero.revision, 3);
  EXPECT_EQ(leadingZero.letter, "3");  // the rest after as many characters as "3" has
  Parsed extra = FromWebFile("4.5.6.7\nu");  // further parts are ignored
  EXPECT_TRUE(extra.ok);
  EXPECT_EQ(extra.revision, 6);
  Parsed blanks = FromWebFile(" 1 . 2 .3x\nu");
  EXPECT_EQ(blanks.major, 1);
  EXPECT_EQ(blanks.minor, 2);
}

TEST(VersionFile, OnlyTheFirstTwoLinesAreRead) {
  Parsed p = FromWebFile("1.0.0\nhttp://h/a.exe\nthird line\nfourth @@@");
  EXPECT_EQ(p.url, "http://h/a.exe");
}

TEST(VersionFile, TwoPartsFailAndLeaveTheCallersValues) {
  Parsed p = FromWebFile("2.0\nhttp://h/pkg@@@.exe");
  EXPECT_FALSE(p.ok);
  EXPECT_EQ(p.major, 0);
  EXPECT_EQ(p.url, "http://h/pkg000.exe");  // fresh variables: 0, 0, 0 and no suffix
  twi::fSHAREDUpdater updater;
  short major = 7, minor = 8, revision = 9;
  std::string letter = "z";
  EXPECT_FALSE(updater.ExtractVersionFromAppVer("2.0", major, minor, revision, letter));
  EXPECT_EQ(major, 7);
  EXPECT_EQ(letter, "z");
}

TEST(VersionFile, ASingleLineIsNoVersionFile) {
  twi::fSHAREDUpdater updater;
  short major = 5, minor = 5, revision = 5;
  std::string letter = "x", url = "old";
  EXPECT_FALSE(updater.ExtractVersionFromWebFile("1.2.3", major, minor, revision, letter, url));
  EXPECT_EQ(major, 0);
  EXPECT_EQ(revision, 0);
  EXPECT_EQ(letter, "");
  EXPECT_EQ(url, "");
}

TEST(VersionFile, ANumberTooLargeKeepsThePreviousValueAndIsLogged) {
  twi::fSHAREDUpdater updater;
  short major = 1, minor = 1, revision = 1;
  std::string letter;
  size_t before = twi::TheLog().PendingActionCount();
  EXPECT_TRUE(updater.ExtractVersionFromAppVer("40000.2.3", major, minor, revision, letter));
  EXPECT_EQ(major, 1);  // unchanged
  EXPECT_EQ(minor, 2);
  EXPECT_EQ(revision, 3);
  EXPECT_EQ(twi::TheLog().PendingActionCount(), before + 1);
}

}  // namespace
