// File services other than copying: existence, erasing, folders, paths, text
// files in the ANSI code page and the lowest-free file number rule.
#include <gtest/gtest.h>

#include "base/FileTable.h"
#include "base/TextConv.h"
#include "diag/cSharedLogging.h"
#include "support/LogCapture.h"
#include "support/TestSupport.h"
#include "sys/cSharedFileSubs.h"

namespace {

using twi::cSharedFileSubs;

TEST(FileSubs, ExistenceTestsTellFilesFromFolders) {
  twitest::ScratchFolder dir;
  cSharedFileSubs files;
  twitest::WriteFileBytes(dir.File("a.txt"), "a");
  EXPECT_TRUE(files.FileExists(dir.File("a.txt")));
  EXPECT_TRUE(files.FileExists(dir.File("*.txt")));  // a pattern stands for its first match
  EXPECT_FALSE(files.FileExists(dir.Path()));       // a folder is not a file
  EXPECT_FALSE(files.FileExists(dir.File("b.txt")));
  EXPECT_FALSE(files.FileExists(""));
  EXPECT_TRUE(files.FolderExists(dir.Path()));
  EXPECT_TRUE(files.FolderExists(dir.Path() + "\\"));
  EXPECT_FALSE(files.FolderExists(dir.File("a.txt")));
  EXPECT_TRUE(files.FolderExists("C:"));
  EXPECT_TRUE(files.FolderExists("Q:\\"));  // a drive root counts as existing without a test
}

TEST(FileSubs, EraseClearsReadOnlyAndReportsALockedFile) {
  twitest::ScratchFolder dir;
  cSharedFileSubs files;
  std::string name = dir.File("ro.txt");
  twitest::WriteFileBytes(name, "x");
  SetFileAttributesW(twi::ToWide(name).c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(files.isReadonly(name));
  EXPECT_TRUE(files.EraseFile(name));
  EXPECT_FALSE(twitest::PathExists(name));
  EXPECT_TRUE(files.EraseFile(name));  // nothing to erase is no failure

  twitest::WriteFileBytes(name, "x");
  HANDLE held = CreateFileW(twi::ToWide(name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  twitest::LogCapture log;
  EXPECT_FALSE(files.EraseFile(name));
  CloseHandle(held);
  EXPECT_TRUE(twitest::PathExists(name));
  EXPECT_EQ(log.Texts(), std::vector<std::string>{"Permission denied (70) erasing " + name +
                                                  " in EraseFile of module cFile"});
  EXPECT_FALSE(files.MakeReadWrite(dir.File("missing.txt")));
}

// A read-only file that cannot be made writable (an immutable file: not even
// root may change it) is reported, not opened.
TEST(FileSubs, AReadOnlyFileThatStaysReadOnlyIsReportedByTheOpeners) {
  twitest::ScratchFolder unixDir(twitest::ScratchFolder::OnUnixTmp);
  cSharedFileSubs files;
  std::string name = unixDir.File("locked.txt");
  twitest::WriteFileBytes(name, "old");
  SetFileAttributesW(twi::ToWide(name).c_str(), FILE_ATTRIBUTE_READONLY);
  if (!twitest::SetImmutable(name, true)) GTEST_SKIP() << "chattr +i is refused here";
  twitest::LogCapture log;
  EXPECT_EQ(files.CreateOutputFile(name), -1);
  EXPECT_EQ(files.OpenAppendFile(name), -1);
  EXPECT_FALSE(files.WriteTextFile(name, "new"));
  twitest::SetImmutable(name, false);
  const std::string text = name + " is read only, can't change it to read write, can't update it";
  EXPECT_EQ(log.Texts(), (std::vector<std::string>{text, text, text}));
  EXPECT_EQ(twitest::ReadFileBytes(name), "old");
}

TEST(FileSubs, MkMissingDirCreatesEachMissingPiece) {
  twitest::ScratchFolder dir;
  cSharedFileSubs files;
  std::string deep = dir.File("A\\B\\C");
  CreateDirectoryW(twi::ToWide(dir.File("A")).c_str(), nullptr);
  EXPECT_TRUE(files.MkMissingDir(deep));
  EXPECT_TRUE(files.FolderExists(dir.File("A\\B")));
  EXPECT_TRUE(files.FolderExists(deep));
  EXPECT_FALSE(files.MkMissingDir(deep));  // exists already
  EXPECT_FALSE(files.MkMissingDir("   "));
  EXPECT_TRUE(files.MkMissingDir(dir.File("X\\\\Y\\")));  // empty pieces are skipped
  EXPECT_TRUE(files.FolderExists(dir.File("X\\Y")));
}

TEST(FileSubs, PathsSplitAtEitherSlash) {
  cSharedFileSubs files;
  const std::string url = "http://www.example.test/runtimes/MSWINSCK.zip";
  EXPECT_EQ(files.FileOnly(url), "MSWINSCK.zip");
  EXPECT_EQ(files.PathOnly(url), "http://www.example.test/runtimes/");  // its own separators kept
  EXPECT_EQ(files.PathOnly("name.txt"), ".\\");
  EXPECT_EQ(files.FileOnly("name.txt"), "name.txt");
  EXPECT_EQ(files.FileOnly("C:\\dir\\"), "");
  EXPECT_EQ(files.FileOnly("a/b\\c.ocx"), "c.ocx");
  EXPECT_EQ(files.AddSlashIfMissing("C:\\x"), "C:\\x\\");
  EXPECT_EQ(files.AddSlashIfMissing("C:\\x\\"), "C:\\x\\");
  EXPECT_EQ(files.AddSlashIfMissing(""), "");
  EXPECT_EQ(files.ExtractUNCShare("\\\\server\\share\\dir\\file"), "\\\\server\\share");
  EXPECT_EQ(files.ExtractUNCShare("\\\\server\\share"), "\\\\server\\share");
}

TEST(FileSubs, TextFilesAreAnsiWithoutAddedLineBreaks) {
  twitest::ScratchFolder dir;
  cSharedFileSubs files;
  EXPECT_TRUE(files.WriteTextFile(dir.File("abc.txt"), "abc"));
  EXPECT_EQ(twitest::ReadFileBytes(dir.File("abc.txt")), "abc");
  EXPECT_TRUE(files.WriteTextFile(dir.File("u.txt"), "Grüße\r\n"));
  EXPECT_EQ(twitest::ReadFileBytes(dir.File("u.txt")), "Gr\xFC\xDF" "e\r\n");  // code page 1252
  std::string text = "stale";
  EXPECT_TRUE(files.LoadTextFile(dir.File("u.txt"), text));
  EXPECT_EQ(text, "Grüße\r\n");
  EXPECT_FALSE(files.LoadTextFile(dir.File("none.txt"), text));
  EXPECT_EQ(text, "");
  // A read-only file is made writable before it is replaced.
  SetFileAttributesW(twi::ToWide(dir.File("abc.txt")).c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(files.WriteTextFile(dir.File("abc.txt"), "de"));
  EXPECT_EQ(twitest::ReadFileBytes(dir.File("abc.txt")), "de");
  // A folder that does not exist cannot take a file.
  EXPECT_FALSE(files.WriteTextFile(dir.File("no\\such\\folder.txt"), "x"));
  EXPECT_FALSE(files.WriteTextFile("", "x"));
}

TEST(FileSubs, FilesOpenUnderTheLowestFreeNumber) {
  twitest::ScratchFolder dir;
  cSharedFileSubs files;
  twi::FileTable& table = twi::TheFiles();
  int first = files.CreateOutputFile(dir.File("1.txt"));
  int second = files.CreateOutputFile(dir.File("2.txt"));
  EXPECT_EQ(second, first + 1);
  table.Close(first);
  int third = files.OpenAppendFile(dir.File("3.txt"));  // missing: created
  EXPECT_EQ(third, first);
  table.Write(third, "tail");
  table.Close(third);
  table.Close(second);
  int again = files.OpenAppendFile(dir.File("3.txt"));
  table.Write(again, "+more");
  table.Close(again);
  EXPECT_EQ(twitest::ReadFileBytes(dir.File("3.txt")), "tail+more");
}

TEST(FileSubs, DatesOfMissingFilesAreTheZeroDate) {
  cSharedFileSubs files;
  EXPECT_TRUE(files.FileDate("C:\\no\\such\\file.txt").IsZero());
  EXPECT_FALSE(files.SetFileDateTime("C:\\no\\such\\file.txt", twi::Date::Now()));
}

}  // namespace
