// Copying with result codes. The same tests run twice: as the NT family and
// with Wine posing as Windows 98, where the copy goes in 256000-byte blocks.
#include <gtest/gtest.h>

#include "base/TextConv.h"
#include "base/cSharedOSInfo.h"
#include "diag/cSharedLogging.h"
#include "support/TestSupport.h"
#include "sys/cSharedFileSubs.h"

namespace {

using twi::cSharedFileSubs;

class FileCopy : public ::testing::Test {
 protected:
  twitest::ScratchFolder dir;
  cSharedFileSubs files;
  std::string Src() { return dir.File("source.ocx"); }
  std::string Dst() { return dir.File("target.ocx"); }
  bool OnlyExpectedFilesLeft(int count) {
    int n = 0;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(twi::ToWide(dir.File("*")).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return count == 0;
    do {
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++n;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return n == count;
  }
};

TEST_F(FileCopy, CopiesAndCarriesTheModificationTimeOver) {
  twitest::WriteFileBytes(Src(), "new control");
  twi::Date stamp = twi::Date::FromParts(2001, 12, 25, 10, 20, 30);
  ASSERT_TRUE(files.SetFileDateTime(Src(), stamp));
  EXPECT_EQ(files.CopyFileWithRetCode(Src(), Dst()), 0);
  EXPECT_EQ(twitest::ReadFileBytes(Dst()), "new control");
  EXPECT_EQ(files.FileDate(Dst()), stamp);
  EXPECT_TRUE(files.CopyFile(Src(), Dst()));
  EXPECT_TRUE(OnlyExpectedFilesLeft(2));
}

TEST_F(FileCopy, MissingSourceIs53AndIsLogged) {
  EXPECT_EQ(files.CopyFileWithRetCode(dir.File("absent.ocx"), Dst()), 53);
  EXPECT_FALSE(twitest::PathExists(Dst()));
  std::string log = twitest::ReadFileBytes(twi::TheLog().CurrentLogFilename());
  EXPECT_NE(log.find(dir.File("absent.ocx") + " doesn't exist, can't copy it"), std::string::npos);
  EXPECT_FALSE(files.CopyFile("", Dst()));
}

TEST_F(FileCopy, ReadOnlyDestinationIsMadeWritableAndReplaced) {
  twitest::WriteFileBytes(Src(), "new");
  twitest::WriteFileBytes(Dst(), "old");
  SetFileAttributesW(twi::ToWide(Dst()).c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(files.CopyFileWithRetCode(Src(), Dst()), 0);
  EXPECT_EQ(twitest::ReadFileBytes(Dst()), "new");
  EXPECT_FALSE(files.isReadonly(Dst()));
}

TEST_F(FileCopy, DestinationInUseIs70AndKeepsTheOldFile) {
  twitest::WriteFileBytes(Src(), "new");
  twitest::WriteFileBytes(Dst(), "old");
  {
    twitest::FileHeldOpen lock(Dst());
    ASSERT_TRUE(lock.Held());
    EXPECT_EQ(files.CopyFileWithRetCode(Src(), Dst()), 70);
  }
  EXPECT_EQ(twitest::ReadFileBytes(Dst()), "old");
  EXPECT_TRUE(OnlyExpectedFilesLeft(2));  // no temporary copy left behind
}

TEST_F(FileCopy, UnreadableSourceFailsAndKeepsTheOldFile) {
  twitest::WriteFileBytes(Src(), "new");
  twitest::WriteFileBytes(Dst(), "old");
  twitest::FileHeldOpen lock(Src());
  ASSERT_TRUE(lock.Held());
  long code = files.CopyFileWithRetCode(Src(), Dst());
  // The NT family reports the failed system copy as 1; the block copy reports
  // the run-time error it met.
  EXPECT_EQ(code, twi::TheOSInfo().IsWindowsNT() ? 1 : 70);
  EXPECT_EQ(twitest::ReadFileBytes(Dst()), "old");
  EXPECT_TRUE(OnlyExpectedFilesLeft(2));
}

TEST_F(FileCopy, FolderDestinationTakesTheSourceName) {
  twitest::WriteFileBytes(Src(), "x");
  CreateDirectoryW(twi::ToWide(dir.File("sys")).c_str(), nullptr);
  EXPECT_EQ(files.CopyFileWithRetCode(Src(), dir.File("sys") + "\\"), 0);
  EXPECT_EQ(twitest::ReadFileBytes(dir.File("sys\\source.ocx")), "x");
}

TEST_F(FileCopy, NamesWithNonAsciiCharacters) {
  std::string source = dir.File("Müller ß 文件.txt");
  twitest::WriteFileBytes(source, "ü");
  EXPECT_TRUE(files.FileExists(source));
  EXPECT_EQ(files.CopyFileWithRetCode(source, dir.File("Kopie é.txt")), 0);
  EXPECT_EQ(twitest::ReadFileBytes(dir.File("Kopie é.txt")), "ü");
}

TEST_F(FileCopy, LargeCopyIsCompleteAndCounted) {
  std::string bytes(3000000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + i / 300);
  twitest::WriteFileBytes(Src(), bytes);
  int progressEvents = 0;
  files.Progress = [&](double remaining, double copied, const std::string&) {
    ++progressEvents;
    EXPECT_DOUBLE_EQ(remaining + copied, 3000000.0);
  };
  EXPECT_EQ(files.CopyFileWithRetCode(Src(), Dst()), 0);
  EXPECT_TRUE(twitest::ReadFileBytes(Dst()) == bytes);
  EXPECT_DOUBLE_EQ(files.ReadCopyFileSize(), 3000000.0);
  if (twi::TheOSInfo().IsWindowsNT()) {
    EXPECT_DOUBLE_EQ(files.ReadCopyFileProgress(), 3000000.0);
    EXPECT_EQ(progressEvents, 0);
  } else {
    // Blocks of 256000 bytes, each counted whole; a report every 1500000 bytes.
    EXPECT_DOUBLE_EQ(files.ReadCopyFileProgress(), 12 * 256000.0);
    EXPECT_EQ(progressEvents, 2);
  }
}

}  // namespace
