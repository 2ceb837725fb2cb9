// Extraction that meets trouble: bad entries, passwords, files that are no archives.
#include <gtest/gtest.h>

#include "base/TextConv.h"
#include "support/TestSupport.h"
#include "unzip/UnzipHarness.h"

using namespace unziptest;
using twitest::ScratchFolder;

namespace {

TEST(UnzipFaults, BadCrcIsReportedAndTheOtherEntriesAreExtracted) {
  const std::string why = *FileBytes(Archive("badcrc.expected.txt"));  // " bad CRC x  (should be y)\n"
  struct Level {
    int level;
    std::string printed;
  };
  const std::string archive = Archive("badcrc.zip");
  for (const Level& c : {Level{0, "Archive:  " + archive + "\n"
                                  " extracting: good1.txt               \n"
                                  " extracting: bad.txt                 " + why +
                                  "  inflating: good2.txt               \n"},
                         Level{2, "bad.txt                " + why}}) {
    ScratchFolder target;
    // A file of the bad entry's name that was there before stays as it was.
    twitest::WriteFileBytes(target.File("bad.txt"), "the file before");
    Outcome run = RunUnzip(archive, target.Path(), [&](UnzipOptions& o) { o.MessageLevel = c.level; });
    EXPECT_EQ(run.rc, 2);
    EXPECT_EQ(run.printed, c.printed);
    EXPECT_EQ(FileBytes(target.File("good1.txt")), "good one\n");
    EXPECT_TRUE(SameBytes(target.File("good2.txt"), Expected("good2.txt")));
    EXPECT_EQ(FileBytes(target.File("bad.txt")), "the file before");
    // No temporary file is left behind.
    EXPECT_EQ(FolderNames(target.Path()),
              (std::vector<std::string>{"bad.txt", "good1.txt", "good2.txt"}));
  }
}

TEST(UnzipFaults, TestModeReportsTheBadEntry) {
  ScratchFolder target;
  const std::string archive = Archive("badcrc.zip");
  Outcome run = RunUnzip(archive, target.Path(), [](UnzipOptions& o) {
    o.TestZip = 1;
    o.MessageLevel = 1;
  });
  EXPECT_EQ(run.rc, 2);
  EXPECT_EQ(run.printed, "bad.txt                " + *FileBytes(Archive("badcrc.expected.txt")) +
                             "At least one error was detected in " + archive + ".\n");
  EXPECT_TRUE(FolderNames(target.Path()).empty());
}

// Passwords: the routine's answers in turn (nullopt = "no password").
struct PasswordCase {
  const char* name;
  const char* archive;
  std::vector<std::optional<std::string>> answers;
  int rc;
  std::vector<std::string> extracted;
  std::vector<std::string> prompts;
  std::vector<std::string> skipped;
};

class EncryptedEntries : public testing::TestWithParam<PasswordCase> {};

TEST_P(EncryptedEntries, AreDecryptedOnlyWithTheRightPassword) {
  const PasswordCase& c = GetParam();
  ScratchFolder target;
  Answers answers;
  answers.passwords = c.answers;
  const std::string archive = Archive(c.archive);
  Outcome run = RunUnzip(archive, target.Path(), [](UnzipOptions& o) { o.MessageLevel = 0; },
                         answers);
  EXPECT_EQ(run.rc, c.rc) << run.printed;
  EXPECT_EQ(FolderNames(target.Path()), c.extracted);
  std::vector<std::string> prompts;
  for (std::string p : c.prompts) {
    if (p.rfind("[ ", 0) == 0) p = "[" + archive + "] " + p.substr(2);
    prompts.push_back(p);
  }
  EXPECT_EQ(run.passwordPrompts, prompts);
  for (const std::string& name : c.extracted) {
    if (name == "secret.txt" || name == "-") {
      EXPECT_TRUE(SameBytes(target.File(name), Expected("readme.txt"))) << name;
    } else if (name == "noise.bin") {
      EXPECT_TRUE(SameBytes(target.File(name), Expected("data.bin")));
    }
  }
  for (const std::string& skipped : c.skipped) {
    std::string line = "   skipping: " + skipped + std::string(22 - skipped.size(), ' ') +
                       "  incorrect password\n";
    EXPECT_NE(run.printed.find(line), std::string::npos) << line << "in:\n" << run.printed;
  }
}

const std::string kReenter = "password incorrect--reenter: ";

INSTANTIATE_TEST_SUITE_P(
    Answers, EncryptedEntries,
    testing::Values(
        // Asked once: the second entry is opened with the password that worked.
        PasswordCase{"right", "encrypted.zip", {"secret"}, 0, {"noise.bin", "secret.txt"},
                     {"[ secret.txt password: "}, {}},
        PasswordCase{"wrong_then_right", "encrypted.zip", {"guess", "secret"}, 0,
                     {"noise.bin", "secret.txt"}, {"[ secret.txt password: ", kReenter}, {}},
        // Three tries per entry, then the entry is skipped; nothing at all: 82.
        PasswordCase{"wrong", "encrypted.zip",
                     {"a", "b", "c", "d", "e", "f"}, 82, {},
                     {"[ secret.txt password: ", kReenter, kReenter, "[ noise.bin password: ",
                      kReenter, kReenter},
                     {"secret.txt", "noise.bin"}},
        // An empty answer is "no password" (the caller's routine returns 1).
        PasswordCase{"empty", "encrypted.zip", {std::nullopt, std::nullopt}, 82, {},
                     {"[ secret.txt password: ", "[ noise.bin password: "},
                     {"secret.txt", "noise.bin"}},
        // Sizes after the data: the check byte comes from the entry's time.
        PasswordCase{"streamed", "streamed.zip", {"secret"}, 0, {"-"}, {"[ - password: "}, {}},
        // One entry's password fits, another's does not: a warning, not 82.
        PasswordCase{"mixed", "mixedpw.zip", {"one", "x", "y", "z"}, 1, {"one.txt", "open.txt"},
                     {"[ one.txt password: ", "[ two.txt password: ", kReenter, kReenter},
                     {"two.txt"}}),
    [](const testing::TestParamInfo<PasswordCase>& info) { return info.param.name; });

// Files that are no zip archives, or are not there.
struct NotArchiveCase {
  const char* name;
  const char* file;
  int rc;
  std::vector<std::string> texts;  // each must be printed (at message level 2)
  bool plainExecutable;
};

class NotAnArchive : public testing::TestWithParam<NotArchiveCase> {};

TEST_P(NotAnArchive, GivesAResultAndTheLibrarysText) {
  const NotArchiveCase& c = GetParam();
  ScratchFolder target;
  const std::string file = Archive(c.file);
  Outcome run = RunUnzip(file, target.Path());
  EXPECT_EQ(run.rc, c.rc);
  for (std::string text : c.texts) {
    for (std::size_t at; (at = text.find("NAME")) != std::string::npos;) text.replace(at, 4, file);
    EXPECT_NE(run.printed.find(text), std::string::npos) << text << "\nin:\n" << run.printed;
  }
  EXPECT_EQ(run.printed.find("may be a plain executable") != std::string::npos, c.plainExecutable)
      << run.printed;
  EXPECT_TRUE(FolderNames(target.Path()).empty());
}

const char* const kNoEndRecord =
    "[NAME]\n"
    "  End-of-central-directory signature not found.  Either this file is not\n"
    "  a zipfile, or it constitutes one disk of a multi-part archive.  In the\n"
    "  latter case the central directory and zipfile comment will be found on\n"
    "  the last disk(s) of this archive.\n";

INSTANTIATE_TEST_SUITE_P(
    Files, NotAnArchive,
    testing::Values(
        NotArchiveCase{"program", "program.exe", 9,
                       {kNoEndRecord,
                        "note:  NAME may be a plain executable, not an archive\n"
                        "unzip:  cannot find zipfile directory in one of NAME or\n"
                        "        NAME.zip, and cannot find NAME.ZIP, period.\n"},
                       true},
        NotArchiveCase{"truncated", "truncated.zip", 9, {kNoEndRecord}, false},
        NotArchiveCase{"empty", "empty.zip", 9, {kNoEndRecord}, false},
        NotArchiveCase{"text", "notes.txt", 9, {kNoEndRecord}, false},
        NotArchiveCase{"missing", "missing.zip", 9,
                       {"unzip:  cannot find or open NAME, NAME.zip or NAME.ZIP.\n"}, false}),
    [](const testing::TestParamInfo<NotArchiveCase>& info) { return info.param.name; });

TEST(UnzipFaults, UnsupportedMethodIsSkippedWith81) {
  ScratchFolder target;
  Outcome run = RunUnzip(Archive("lzma.zip"), target.Path(), [](UnzipOptions& o) { o.MessageLevel = 0; });
  EXPECT_EQ(run.rc, 81);
  EXPECT_NE(run.printed.find("   skipping: packed.txt              need PK compat. v6.3"),
            std::string::npos)
      << run.printed;
  EXPECT_EQ(FolderNames(target.Path()), (std::vector<std::string>{"plain.txt"}));
  EXPECT_EQ(FileBytes(target.File("plain.txt")), "plain\n");
}

TEST(UnzipFaults, ServiceRoutineCanStopTheRun) {
  ScratchFolder target;
  Answers answers;
  answers.service = 1;
  Outcome run = RunUnzip(Archive("deflated.zip"), target.Path(), {}, answers);
  EXPECT_EQ(run.rc, 80);
  EXPECT_EQ(run.serviceEntries, (std::vector<std::string>{"readme.txt"}));
  EXPECT_TRUE(FolderNames(target.Path()).empty());
}

// Archives whose headers lie, or whose names no Windows path can hold (made by
// tests/packages/make_hostile.py): refused before a byte is written, or the entry
// stopped at its declared size, or "cannot create" for it and the run goes on.
struct HostileCase {
  const char* name;
  const char* archive;
  int rc;
  std::string printed;  // printed at message level 2 (TARGET: the target folder)
  std::vector<std::string> extracted;
};

void PrintTo(const HostileCase& c, std::ostream* out) { *out << c.archive; }

class HostileArchives : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileArchives, NeverWriteMoreThanTheyDeclareNorPastAWindowsPath) {
  const HostileCase& c = GetParam();
  ScratchFolder target;
  const std::string archive =
      twitest::WindowsPathOf(TWI_FIXTURE_DIR) + "\\hostile\\" + c.archive;
  Outcome run = RunUnzip(archive, target.Path());
  EXPECT_EQ(run.rc, c.rc) << run.printed;
  const std::string printed =
      twi::ReplaceAll(twi::ReplaceAll(c.printed, "ARCHIVE", archive), "TARGET", target.Path());
  EXPECT_NE(run.printed.find(printed), std::string::npos) << printed << "\nin:\n" << run.printed;
  EXPECT_EQ(FolderNames(target.Path()), c.extracted);
}

INSTANTIATE_TEST_SUITE_P(
    Archives, HostileArchives,
    testing::Values(
        HostileCase{"inflating_beyond_its_size", "bomb.zip", 2,
                    "  error:  bomb01.bin holds more than the 8192 bytes its header declares\n"
                    "  error:  bomb02.bin holds more than the 8192 bytes its header declares\n",
                    {"readme.txt"}},
        HostileCase{"an_exabyte_declared", "exabyte.zip", 50,
                    "error:  not enough disk space for ARCHIVE in TARGET: its files need "
                    "1152921504606851072 bytes and 1048576 more are kept free, but ",
                    {}},
        HostileCase{"a_folder_of_250_characters", "longfolder.zip", 2,
                    "checkdir error:  cannot create TARGET\\dir\\ddddd", {"MsComCtl.ocx"}},
        HostileCase{"twelve_folders_of_23_characters", "deepfolders.zip", 2,
                    "error:  cannot create TARGET\\fffffffffffffffffffff00\\", {"MsComCtl.ocx"}},
        HostileCase{"a_file_name_of_300_characters", "longname.zip", 2,
                    "error:  cannot create TARGET\\nnnnn", {"MsComCtl.ocx"}}),
    [](const testing::TestParamInfo<HostileCase>& info) { return info.param.name; });

TEST(UnzipFaults, EachRunStartsAfresh) {
  // A run that found a password does not hand it to the next run.
  ScratchFolder first, second;
  Answers right;
  right.passwords = {"secret"};
  EXPECT_EQ(RunUnzip(Archive("encrypted.zip"), first.Path(), {}, right).rc, 0);
  Answers none;
  none.passwords = {std::nullopt, std::nullopt};
  Outcome again = RunUnzip(Archive("encrypted.zip"), second.Path(), {}, none);
  EXPECT_EQ(again.rc, 82);
  EXPECT_EQ(again.passwordPrompts.size(), 2u);
}

}  // namespace
