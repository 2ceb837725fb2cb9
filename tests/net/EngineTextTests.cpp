// Texts and addresses the engine works out itself: number formatting, chunk
// text, and where an FTP address points.
#include <gtest/gtest.h>

#include "net/fSHAREDInternet.h"

namespace {

using twi::fSHAREDInternet;

TEST(EngineTexts, NumbersHaveTwoDecimalsAtMostWithoutTrailingZeros) {
  EXPECT_EQ(fSHAREDInternet::TwoDecimals(512 / 1024.0), "0.5");
  EXPECT_EQ(fSHAREDInternet::TwoDecimals(2048 / 1024.0), "2");
  EXPECT_EQ(fSHAREDInternet::TwoDecimals(1500 / 1024.0), "1.46");
  EXPECT_EQ(fSHAREDInternet::TwoDecimals(13), "13");
  EXPECT_EQ(fSHAREDInternet::TwoDecimals(0), "0");
}

TEST(EngineTexts, ChunkTextStopsAtTheFirstZeroByteAndLosesOuterBlanks) {
  std::vector<std::uint8_t> bytes = {' ', ' ', 'a', 'b', ' ', 0, 'c', 'd'};
  EXPECT_EQ(fSHAREDInternet::ByteArrayToString(bytes), "ab");
  EXPECT_EQ(fSHAREDInternet::ByteArrayToString({0, 'x'}), "");
  EXPECT_EQ(fSHAREDInternet::ByteArrayToString({0xFC}), "ü");  // ANSI code page 1252
}

TEST(EngineTexts, FtpAddressesWithAndWithoutScheme) {
  auto withScheme = fSHAREDInternet::ParseFtpAddress("ftp://host/pub/dir/file.zip");
  EXPECT_EQ(withScheme.host, "host");
  EXPECT_EQ(withScheme.folder, "/pub/dir/");
  EXPECT_EQ(withScheme.file, "file.zip");
  auto noScheme = fSHAREDInternet::ParseFtpAddress("ftp.host/file.zip");
  EXPECT_EQ(noScheme.host, "ftp.host");
  EXPECT_EQ(noScheme.folder, "/");
  EXPECT_EQ(noScheme.file, "file.zip");
  auto backslashes = fSHAREDInternet::ParseFtpAddress("FTP:\\\\host:2121\\pub\\f.zip");
  EXPECT_EQ(backslashes.host, "host:2121");
  EXPECT_EQ(backslashes.folder, "/pub/");
  EXPECT_EQ(backslashes.file, "f.zip");
  EXPECT_EQ(fSHAREDInternet::ParseFtpAddress("ftp:///file.zip").host, "");
}

}  // namespace
