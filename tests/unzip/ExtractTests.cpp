// Extraction that goes right: entries, folders, names, existing files, test mode.
#include <gtest/gtest.h>

#include "base/TextConv.h"
#include "support/TestSupport.h"
#include "unzip/UnzipHarness.h"

using namespace unziptest;
using twitest::ScratchFolder;

namespace {

struct ArchiveCase {
  const char* archive;
  std::vector<std::pair<const char*, const char*>> files;  // extracted path, expected bytes
  std::vector<std::string> top;                             // what the target then holds
};

class ExtractsArchive : public testing::TestWithParam<ArchiveCase> {};

TEST_P(ExtractsArchive, EveryEntryWithItsBytesAndFolders) {
  ScratchFolder target;
  Outcome run = RunUnzip(Archive(GetParam().archive), target.Path());
  EXPECT_EQ(run.rc, 0) << run.printed;
  EXPECT_EQ(run.printed, "");  // message level 2: nothing to say
  for (const auto& [path, expected] : GetParam().files) {
    EXPECT_TRUE(SameBytes(target.File(path), Expected(expected))) << path;
  }
  EXPECT_EQ(FolderNames(target.Path()), GetParam().top);
}

INSTANTIATE_TEST_SUITE_P(
    StoredAndDeflated, ExtractsArchive,
    testing::Values(ArchiveCase{"stored.zip",
                                {{"hello.txt", "hello.txt"}, {"sub\\deep\\data.bin", "data.bin"}},
                                {"hello.txt", "sub"}},
                    ArchiveCase{"deflated.zip",
                                {{"readme.txt", "readme.txt"},
                                 {"sub\\deep\\data.bin", "data.bin"}},
                                {"readme.txt", "sub"}},
                    ArchiveCase{"zip64.zip", {{"wide.txt", "readme.txt"}}, {"wide.txt"}}));

TEST(Unzip, PrintsWhatUnzipPrintsAtEachMessageLevel) {
  struct Level {
    int level;
    std::string printed;
  };
  const std::string archive = Archive("deflated.zip");
  for (const Level& c : {Level{0, "Archive:  " + archive + "\n"
                                  "  inflating: readme.txt              \n"
                                  "   creating: sub/\n"
                                  "   creating: sub/deep/\n"
                                  "  inflating: sub/deep/data.bin       \n"},
                         Level{1, ""}, Level{2, ""}}) {
    ScratchFolder target;
    Outcome run = RunUnzip(archive, target.Path(), [&](UnzipOptions& o) { o.MessageLevel = c.level; });
    EXPECT_EQ(run.rc, 0);
    EXPECT_EQ(run.printed, c.printed) << "level " << c.level;
  }
}

TEST(Unzip, RestoresTheEntryTimeAndFillsTheTotals) {
  ScratchFolder target;
  Outcome run = RunUnzip(Archive("deflated.zip"), target.Path());
  ASSERT_EQ(run.rc, 0);
  SYSTEMTIME when = LocalWriteTime(target.File("readme.txt"));
  EXPECT_EQ(when.wYear, 2010);
  EXPECT_EQ(when.wMonth, 6);
  EXPECT_EQ(when.wDay, 15);
  EXPECT_EQ(when.wHour, 12);
  EXPECT_EQ(when.wMinute, 0);
  EXPECT_EQ(run.totals.NumMembers, 4u);
  EXPECT_EQ(run.totals.TotalSize, 120988u + 100000u);
  EXPECT_EQ(run.totals.HasComment, 0);
  EXPECT_EQ(run.serviceEntries,
            (std::vector<std::string>{"readme.txt", "sub/", "sub/deep/", "sub/deep/data.bin"}));
}

TEST(Unzip, WithoutFoldersEveryFileLandsInTheTarget) {
  ScratchFolder target;
  Outcome run = RunUnzip(Archive("deflated.zip"), target.Path(),
                         [](UnzipOptions& o) { o.HonorDirectories = 0; });
  EXPECT_EQ(run.rc, 0);
  EXPECT_EQ(FolderNames(target.Path()), (std::vector<std::string>{"data.bin", "readme.txt"}));
  EXPECT_TRUE(SameBytes(target.File("data.bin"), Expected("data.bin")));
}

TEST(Unzip, SpacesBecomeUnderscoresWhenAsked) {
  for (int convert : {0, 1}) {
    ScratchFolder target;
    Outcome run = RunUnzip(Archive("spaces.zip"), target.Path(),
                           [&](UnzipOptions& o) { o.SpaceToUnderScore = convert; });
    EXPECT_EQ(run.rc, 0);
    std::string file = convert ? "my_folder\\a_file_name.txt" : "my folder\\a file name.txt";
    EXPECT_EQ(FileBytes(target.File(file)), "spaces\n") << file;
  }
}

TEST(Unzip, DecodesUtf8AndDosNames) {
  ScratchFolder target;
  Outcome run = RunUnzip(Archive("names.zip"), target.Path());
  EXPECT_EQ(run.rc, 0) << run.printed;
  // "café/naïve €.txt" (UTF-8 flag) and "ÄRGERNA.TXT" (code page 437, byte 0x8E).
  EXPECT_EQ(FileBytes(target.File("caf\xC3\xA9\\na\xC3\xAFve \xE2\x82\xAC.txt")), "utf-8 name\n");
  EXPECT_EQ(FileBytes(target.File("\xC3\x84RGERNA.TXT")), "cp437 name\n");
}

// Existing files: overwritten or kept, with or without the question.
struct OverwriteCase {
  const char* name;
  int overwrite;
  int prompt;
  std::vector<int> answers;
  bool firstReplaced;
  bool secondReplaced;
};

class ExistingFiles : public testing::TestWithParam<OverwriteCase> {};

TEST_P(ExistingFiles, AreReplacedOrKeptAsAnswered) {
  const OverwriteCase& c = GetParam();
  ScratchFolder target;
  twitest::WriteFileBytes(target.File("hello.txt"), "old hello");
  CreateDirectoryW(twi::ToWide(target.File("sub")).c_str(), nullptr);
  CreateDirectoryW(twi::ToWide(target.File("sub\\deep")).c_str(), nullptr);
  twitest::WriteFileBytes(target.File("sub\\deep\\data.bin"), "old data");
  Answers answers;
  answers.replace = c.answers;
  Outcome run = RunUnzip(Archive("stored.zip"), target.Path(),
                         [&](UnzipOptions& o) {
                           o.OverWriteFiles = c.overwrite;
                           o.PromptOverwrite = c.prompt;
                         },
                         answers);
  EXPECT_EQ(run.rc, 0) << run.printed;
  EXPECT_EQ(run.replaceAsked.size(), c.answers.size());
  if (!run.replaceAsked.empty()) {
    EXPECT_EQ(run.replaceAsked[0], target.File("hello.txt"));
  }
  EXPECT_EQ(FileBytes(target.File("hello.txt")),
            c.firstReplaced ? *FileBytes(Expected("hello.txt")) : "old hello");
  EXPECT_EQ(FileBytes(target.File("sub\\deep\\data.bin")),
            c.secondReplaced ? *FileBytes(Expected("data.bin")) : "old data");
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ExistingFiles,
    testing::Values(OverwriteCase{"silently", 1, 0, {}, true, true},
                    OverwriteCase{"never", 0, 0, {}, false, false},
                    OverwriteCase{"yes_then_no", 0, 1, {kReplaceYes, kReplaceNo}, true, false},
                    OverwriteCase{"no_then_yes", 0, 1, {kReplaceNo, kReplaceYes}, false, true},
                    OverwriteCase{"none", 0, 1, {kReplaceNone}, false, false},
                    OverwriteCase{"all", 0, 1, {kReplaceAll}, true, true}),
    [](const testing::TestParamInfo<OverwriteCase>& info) { return info.param.name; });

// Freshen replaces only older existing files; update also creates missing ones.
TEST(Unzip, FreshenAndUpdateLookAtTheFileTimes) {
  struct Case {
    const char* name;
    int freshen;
    int update;
    bool absentCreated;
  };
  for (const Case& c : {Case{"freshen", 1, 0, false}, Case{"update", 0, 1, true}}) {
    ScratchFolder target;
    twitest::WriteFileBytes(target.File("older.txt"), "mine, 2000");
    twitest::WriteFileBytes(target.File("newer.txt"), "mine, 2030");
    SetWriteTime(target.File("older.txt"), 2000);
    SetWriteTime(target.File("newer.txt"), 2030);
    Outcome run = RunUnzip(Archive("dated.zip"), target.Path(), [&](UnzipOptions& o) {
      o.ExtractNewer = c.freshen;
      o.ExtractOnlyNewer = c.update;
    });
    EXPECT_EQ(run.rc, 0) << c.name;
    EXPECT_EQ(FileBytes(target.File("older.txt")), "from the archive: older.txt\n") << c.name;
    EXPECT_EQ(FileBytes(target.File("newer.txt")), "mine, 2030") << c.name;
    EXPECT_EQ(FileBytes(target.File("absent.txt")).has_value(), c.absentCreated) << c.name;
  }
}

TEST(Unzip, TextEntriesGetCrLfAndCanGoToThePrintRoutine) {
  ScratchFolder converted;
  EXPECT_EQ(RunUnzip(Archive("lines.zip"), converted.Path(),
                     [](UnzipOptions& o) { o.ConvertCRtoCRLF = 1; }).rc, 0);
  EXPECT_EQ(FileBytes(converted.File("unix.txt")), "one\r\ntwo\r\nthree\r\n");
  ScratchFolder untouched;
  Outcome printed = RunUnzip(Archive("lines.zip"), untouched.Path(),
                             [](UnzipOptions& o) { o.WriteToStdOut = 1; });
  EXPECT_EQ(printed.rc, 0);
  EXPECT_EQ(printed.printed, "one\ntwo\r\nthree\n");
  EXPECT_TRUE(FolderNames(untouched.Path()).empty());
}

TEST(Unzip, TestModeWritesNothingAndReportsEachEntry) {
  ScratchFolder target;
  const std::string archive = Archive("deflated.zip");
  Outcome run = RunUnzip(archive, target.Path(), [](UnzipOptions& o) {
    o.TestZip = 1;
    o.MessageLevel = 0;
  });
  EXPECT_EQ(run.rc, 0);
  EXPECT_EQ(run.printed, "Archive:  " + archive + "\n"
                         "    testing: readme.txt               OK\n"
                         "    testing: sub/                     OK\n"
                         "    testing: sub/deep/                OK\n"
                         "    testing: sub/deep/data.bin        OK\n"
                         "No errors detected in compressed data of " + archive + ".\n");
  EXPECT_TRUE(FolderNames(target.Path()).empty());
}

TEST(Unzip, NamesLeavingTheTargetAreKeptInsideWithAWarning) {
  ScratchFolder outer;
  const std::string target = outer.File("inner");
  const std::string archive = Archive("unsafe.zip");
  Outcome run = RunUnzip(archive, target, [](UnzipOptions& o) { o.MessageLevel = 0; });
  EXPECT_EQ(run.rc, 1);
  // Nothing but the target folder next to it, and no drive-root file.
  EXPECT_EQ(FolderNames(outer.Path()), (std::vector<std::string>{"inner"}));
  EXPECT_EQ(FolderNames(target), (std::vector<std::string>{"abs.txt", "back.txt", "drive.txt",
                                                           "ok.txt", "sub", "up.txt"}));
  EXPECT_EQ(FileBytes(target + "\\up.txt"), "up\n");
  EXPECT_EQ(FileBytes(target + "\\sub\\up2.txt"), "up2\n");
  EXPECT_EQ(FileBytes(target + "\\drive.txt"), "drive\n");
  EXPECT_NE(run.printed.find("warning:  skipped \"../\" path component(s) in ../up.txt\n"),
            std::string::npos);
  EXPECT_NE(run.printed.find("warning:  stripped absolute path spec from /abs.txt\n"),
            std::string::npos);
  EXPECT_NE(run.printed.find("warning:  stripped absolute path spec from C:/drive.txt\n"),
            std::string::npos);
  // At level 2 the absolute-path warning stays, as with unzip -qq.
  ScratchFolder quiet;
  Outcome silent = RunUnzip(archive, quiet.Path());
  EXPECT_EQ(silent.rc, 1);
  EXPECT_EQ(silent.printed, "warning:  stripped absolute path spec from /abs.txt\n"
                            "warning:  stripped absolute path spec from C:/drive.txt\n");
}

}  // namespace
