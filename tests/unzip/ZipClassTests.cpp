// The install center's zip class over the extraction library: properties and
// their initial values, the option record's order (seen through what each
// option does), the overwrite and password questions through the message box
// and the text-input box, the collected message text, and the error sources.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/TextConv.h"
#include "sys/CGUnzipFiles.h"
#include "sys/UnzipMessages.h"
#include "sys/VBUnzip.h"
#include "support/TestSupport.h"
#include "ui/InputBox.h"
#include "ui/MsgBox.h"
#include "unzip/UnzipHarness.h"

namespace {

using twi::CGUnzipFiles;
using unziptest::Archive;
using unziptest::Expected;
using unziptest::FileBytes;

// Answers the password box with the scripted texts and counts the questions.
class PasswordAnswers {
 public:
  explicit PasswordAnswers(std::vector<std::string> answers) : answers_(std::move(answers)) {
    ui::SetInputBoxAnswerer([this](const ui::InputBoxCall& call) {
      prompts.push_back(call.prompt);
      if (answers_.empty()) return std::string();
      std::string answer = answers_.front();
      answers_.erase(answers_.begin());
      return answer;
    });
  }
  ~PasswordAnswers() { ui::SetInputBoxAnswerer(nullptr); }
  std::vector<std::string> prompts;

 private:
  std::vector<std::string> answers_;
};

TEST(ZipClass, PropertiesStartAsTheInstallCenterExpects) {
  CGUnzipFiles zip;
  struct Initial {
    const char* name;
    long value, expected;
  };
  const Initial table[] = {
      {"ExtractNewer", zip.ExtractNewer(), 0},     {"SpaceToUnderScore", zip.SpaceToUnderScore(), 0},
      {"PromptOverwrite", zip.PromptOverwrite(), 0}, {"MessageLevel", zip.MessageLevel(), 2},
      {"WriteToStdOut", zip.WriteToStdOut(), 0},   {"TestZip", zip.TestZip(), 0},
      {"ExtractList", zip.ExtractList(), 0},       {"ExtractOnlyNewer", zip.ExtractOnlyNewer(), 0},
      {"DisplayComment", zip.DisplayComment(), 0}, {"HonorDirectories", zip.HonorDirectories(), 1},
      {"OverWriteFiles", zip.OverWriteFiles(), 1}, {"ConvertCRtoCRLF", zip.ConvertCRtoCRLF(), 0},
      {"Verbose", zip.Verbose(), 0},               {"CaseSensitive", zip.CaseSensitive(), 1},
      {"Privilege", zip.Privilege(), 0},
  };
  for (const Initial& row : table) EXPECT_EQ(row.value, row.expected) << row.name;
  EXPECT_EQ(zip.ZipFileName(), "");
  EXPECT_EQ(zip.ExtractDir(), "");
  zip.SetTestZip(true);
  EXPECT_EQ(zip.TestZip(), 1);  // booleans are kept as 0 or 1
}

TEST(ZipClass, InitialOptionsOverwriteAndKeepFolders) {
  twitest::ScratchFolder target;
  twitest::WriteFileBytes(target.File("readme.txt"), "old");
  CGUnzipFiles zip;
  EXPECT_EQ(zip.Unzip(Archive("deflated.zip"), target.Path()), 0);
  EXPECT_EQ(FileBytes(target.File("readme.txt")), FileBytes(Expected("readme.txt")));
  EXPECT_EQ(FileBytes(target.File("sub\\deep\\data.bin")), FileBytes(Expected("data.bin")));
  EXPECT_EQ(zip.ZipFileName(), Archive("deflated.zip"));  // the argument replaced the property
  EXPECT_EQ(zip.GetLastMessage(), "");  // nothing printed at level 2 for a clean run
}

// Freshen (the record's eighth field) and update (its first) differ only for a
// file that is not there: the mapping of both properties shows in the result.
TEST(ZipClass, FreshenAndUpdateReachTheirOwnFields) {
  struct Case {
    const char* option;
    bool freshen;
    bool absentCreated;
  };
  for (const Case& c : {Case{"ExtractNewer", true, false}, Case{"ExtractOnlyNewer", false, true}}) {
    twitest::ScratchFolder target;
    twitest::WriteFileBytes(target.File("older.txt"), "mine");
    unziptest::SetWriteTime(target.File("older.txt"), 2001);
    CGUnzipFiles zip;
    if (c.freshen)
      zip.SetExtractNewer(true);
    else
      zip.SetExtractOnlyNewer(true);
    EXPECT_EQ(zip.Unzip(Archive("dated.zip"), target.Path()), 0) << c.option;
    EXPECT_NE(FileBytes(target.File("older.txt")), "mine") << c.option;  // older: replaced
    EXPECT_EQ(FileBytes(target.File("absent.txt")).has_value(), c.absentCreated) << c.option;
  }
}

TEST(ZipClass, TheOverwriteQuestionAnswersYesNoAndCancel) {
  struct Case {
    int answer;
    bool readmeReplaced;
    bool dataReplaced;
    size_t questions;
  };
  const Case cases[] = {{ui::vbYes, true, true, 2}, {ui::vbNo, false, true, 2},
                        {ui::vbCancel, false, false, 1}};
  for (const Case& c : cases) {
    twitest::ScratchFolder target;
    twitest::WriteFileBytes(target.File("readme.txt"), "old");
    CreateDirectoryW(twi::ToWide(target.File("sub")).c_str(), nullptr);
    CreateDirectoryW(twi::ToWide(target.File("sub\\deep")).c_str(), nullptr);
    twitest::WriteFileBytes(target.File("sub\\deep\\data.bin"), "old");
    twitest::MsgBoxRecorder boxes;
    boxes.Answer(c.answer);
    boxes.Answer(ui::vbYes);
    CGUnzipFiles zip;
    zip.SetPromptOverwrite(true);
    zip.Unzip(Archive("deflated.zip"), target.Path());
    ASSERT_EQ(boxes.Calls().size(), c.questions) << c.answer;
    EXPECT_EQ(boxes.Calls()[0].prompt, "Overwrite " + target.File("readme.txt") + "?");
    EXPECT_EQ(boxes.Calls()[0].title, "VBUnZip32 - File Already Exists!");
    EXPECT_EQ(boxes.Calls()[0].style, ui::vbYesNoCancel | ui::vbExclamation);
    EXPECT_EQ(FileBytes(target.File("readme.txt")) != "old", c.readmeReplaced) << c.answer;
    EXPECT_EQ(FileBytes(target.File("sub\\deep\\data.bin")) != "old", c.dataReplaced) << c.answer;
  }
}

TEST(ZipClass, PasswordsRightWrongAndEmpty) {
  struct Case {
    const char* name;
    std::vector<std::string> answers;
    long result;
    bool extracted;
    size_t questions;
  };
  const Case cases[] = {
      // The right password opens both entries: asked once, then tried first.
      {"right", {"secret"}, 0, true, 1},
      // Three wrong answers per entry; nothing extracted.
      {"wrong", {"bad", "bad", "bad", "bad", "bad", "bad"}, 82, false, 6},
      // An empty answer skips the rest of the run without asking again.
      {"empty", {""}, 82, false, 1},
  };
  for (const Case& c : cases) {
    twitest::ScratchFolder target;
    PasswordAnswers answers(c.answers);
    CGUnzipFiles zip;
    EXPECT_EQ(zip.Unzip(Archive("encrypted.zip"), target.Path()), c.result) << c.name;
    EXPECT_EQ(answers.prompts.size(), c.questions) << c.name;
    for (const std::string& prompt : answers.prompts)
      EXPECT_EQ(prompt, "Please Enter The Password!");
    EXPECT_EQ(FileBytes(target.File("secret.txt")).has_value(), c.extracted) << c.name;
    if (c.extracted) {
      EXPECT_EQ(FileBytes(target.File("secret.txt")), FileBytes(Expected("readme.txt")));
    }
  }
}

TEST(ZipClass, APasswordLongerThanTheLibrarysBufferIsCut) {
  char buffer[8];
  std::memset(buffer, 'x', sizeof buffer);
  char guard[4] = {'g', 'g', 'g', 'g'};
  PasswordAnswers answers({"a-very-long-password"});
  twi::TheUnzipMessages().Reset();
  EXPECT_EQ(twi::UnzipPasswordCallback(buffer, 6, "", ""), 0);
  EXPECT_EQ(std::string(buffer), "a-ver");  // five bytes and the NUL, within the size given
  EXPECT_EQ(buffer[6], 'x');
  EXPECT_EQ(std::string(guard, 4), "gggg");
}

TEST(ZipClass, NonArchivesGiveTheLibrarysTextAndEachRunStartsEmpty) {
  twitest::ScratchFolder target;
  CGUnzipFiles zip;
  EXPECT_EQ(zip.Unzip(Archive("program.exe"), target.Path()), 9);
  EXPECT_NE(zip.GetLastMessage().find("may be a plain executable"), std::string::npos);
  EXPECT_EQ(zip.Unzip(Archive("notes.txt"), target.Path()), 9);
  EXPECT_EQ(zip.GetLastMessage().find("may be a plain executable"), std::string::npos);
  EXPECT_NE(zip.GetLastMessage().find("End-of-central-directory signature not found"),
            std::string::npos);
  EXPECT_EQ(zip.Unzip(Archive("deflated.zip"), target.Path()), 0);
  EXPECT_EQ(zip.GetLastMessage(), "");
  EXPECT_NE(zip.Unzip(Archive("badcrc.zip"), target.Path()), 0);
  EXPECT_NE(zip.GetLastMessage().find("bad CRC"), std::string::npos);
}

// The library starts some error texts with a line feed; the rest of the text
// must survive the line-end conversion.
TEST(ZipClass, APieceStartingWithALineFeedKeepsItsText) {
  twi::TheUnzipMessages().Reset();
  std::string piece = "\nerror:  cannot create C:\\x\\y.txt\n";
  twi::UnzipPrintCallback(piece.data(), static_cast<unsigned long>(piece.size()));
  std::string lone = "\n";
  twi::UnzipPrintCallback(lone.data(), 1);
  EXPECT_EQ(twi::TheUnzipMessages().LastMessage, "\r\nerror:  cannot create C:\\x\\y.txt\n\r\n");
}

TEST(ZipClass, ACallbackErrorIsRaisedWithTheRoutinesSource) {
  twitest::ScratchFolder target;
  twitest::WriteFileBytes(target.File("readme.txt"), "old");
  ui::SetMsgBoxAnswerer([](const ui::MsgBoxCall&) -> int {
    throw twi::RuntimeError(70, "Permission denied");
  });
  CGUnzipFiles zip;
  zip.SetPromptOverwrite(true);
  zip.SetZipFileName(Archive("deflated.zip"));
  zip.SetExtractDir(target.Path());
  twi::RuntimeError direct = twitest::ErrorOf([&] { twi::VBUnzip(zip); });
  EXPECT_EQ(direct.Number(), 70);
  EXPECT_EQ(direct.Source(), "CodeModule::VBUnzip");
  twi::RuntimeError raised = twitest::ErrorOf([&] { zip.Unzip(); });
  EXPECT_EQ(raised.Number(), 70);
  EXPECT_EQ(raised.Description(), "Permission denied");
  EXPECT_EQ(raised.Source(), "CGUnZipFiles::Unzip");
  twitest::FailOnUnexpectedMsgBox();
  EXPECT_EQ(FileBytes(target.File("readme.txt")), "old");  // no answer: nothing overwritten
}

}  // namespace
