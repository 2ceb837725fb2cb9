// Saving TWInstaller.ini when the file or the disk is in the way: a read-only
// file, a file another program holds open, a file no one can make writable
// (immutable), and a disk that is really full (a small tmpfs mounted by the
// test set-up, tests/server/start-fsfaults). The old file survives every
// failed or cancelled save.
#include <gtest/gtest.h>

#include "base/TextConv.h"
#include "diag/cSharedLogging.h"
#include "settings/cSHAREDSettings.h"
#include "support/TestServers.h"
#include "support/TestSupport.h"
#include "sys/cSharedFileSubs.h"

namespace {

using twi::cSHAREDSettings;

std::string LogText() {
  twi::TheLog().WriteActionsToLog();
  std::string file = twi::TheLog().CurrentLogFilename();
  return file.empty() ? std::string() : twitest::ReadFileBytes(file);
}

cSHAREDSettings NewSettings() {
  cSHAREDSettings store;
  store.sSet("ProxyServer", "myproxy");
  store.sSet("ProxyType", 2);
  return store;
}
constexpr char kNewBytes[] = "PROXYSERVER,myproxy\r\nPROXYTYPE, 2 \r\n";

class SettingsSave : public ::testing::Test {
 protected:
  void SetUp() override {
    twi::TheLog().LogEvent("settings save tests", true);
    file = dir.File("TWInstaller.ini");
    twitest::WriteFileBytes(file, "OLD,1\r\n");
  }
  twitest::ScratchFolder dir;
  std::string file;
};

TEST_F(SettingsSave, AReadOnlyFileIsMadeWritableAndSaved) {
  SetFileAttributesW(twi::ToWide(file).c_str(), FILE_ATTRIBUTE_READONLY);
  twitest::MsgBoxRecorder boxes;
  cSHAREDSettings store = NewSettings();
  EXPECT_TRUE(store.SaveSettings(file));
  EXPECT_TRUE(boxes.Calls().empty());
  EXPECT_EQ(twitest::ReadFileBytes(file), kNewBytes);
  EXPECT_FALSE(twi::TheFileSubs().isReadonly(file));
}

TEST_F(SettingsSave, AFileInUseIsStillSavedWhereItsHolderAllowsWriting) {
  struct Case {
    const char* name;
    DWORD share;
    bool written;
  } cases[] = {
      {"held with read and write sharing", FILE_SHARE_READ | FILE_SHARE_WRITE, true},
      {"held with all sharing", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, true},
      {"held with read sharing only", FILE_SHARE_READ, false},
      {"held without sharing", 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    twitest::WriteFileBytes(file, "OLD,1\r\n");
    twitest::MsgBoxRecorder boxes;
    cSHAREDSettings store = NewSettings();
    {
      twitest::FileHeldOpen holder(file, c.share);
      ASSERT_TRUE(holder.Held());
      // A file that cannot be opened for writing ends the save: nothing written, no message.
      EXPECT_TRUE(store.SaveSettings(file));
    }
    EXPECT_TRUE(boxes.Calls().empty());
    EXPECT_EQ(twitest::ReadFileBytes(file), c.written ? kNewBytes : "OLD,1\r\n");
    EXPECT_FALSE(twitest::PathExists(cSHAREDSettings::TemporaryFileOf(file)));
  }
  // Failures to open are logged, and never under the temporary file's name.
  std::string log = LogText();
  EXPECT_NE(log.find("Permission denied (70) in CreateOutputFile of module cFile"),
            std::string::npos);
  EXPECT_EQ(log.find(cSHAREDSettings::TemporaryFileOf(file)), std::string::npos);
}

TEST_F(SettingsSave, AFileNoOneCanMakeWritableKeepsItsContents) {
  std::string available = twitest::FileSystemFault("immutable");
  if (available != "yes") GTEST_SKIP() << "no immutable file on this machine: " << available;
  std::string immutable = twitest::ServerFile("fsfaults\\immutable\\TWInstaller.ini");
  ASSERT_TRUE(twi::TheFileSubs().isReadonly(immutable));
  EXPECT_FALSE(twi::TheFileSubs().MakeReadWrite(immutable));
  twitest::MsgBoxRecorder boxes;
  cSHAREDSettings store = NewSettings();
  EXPECT_TRUE(store.SaveSettings(immutable));  // nothing written is not a failure
  EXPECT_TRUE(boxes.Calls().empty());
  EXPECT_EQ(twitest::ReadFileBytes(immutable), "PROXYTYPE, 1 \r\n");
  std::string log = LogText();
  EXPECT_NE(log.find(immutable + " is read only, can't change it to read write, can't update it"),
            std::string::npos);
  EXPECT_EQ(log.find(cSHAREDSettings::TemporaryFileOf(immutable)), std::string::npos);
  store.LoadSettings(immutable);
  EXPECT_EQ(store.sGet("ProxyType").AsText(), " 1 ");
}

TEST(SettingsSaveOnAFullDisk, RetryAfterSpaceIsFreedOrCancelAndTheOldFileStays) {
  std::string available = twitest::FileSystemFault("tmpfs");
  if (available != "yes") GTEST_SKIP() << "no small disk can be mounted here: " << available;
  std::string folder = twitest::ServerFile("fsfaults\\full");
  std::string file = folder + "\\TWInstaller.ini", filler = folder + "\\filler.bin";
  const std::string expectedPrompt =
      "You've run out of disk space on drive Z:\rPlease clear some space and then click Retry, "
      "else click Cancel to abort.";
  cSHAREDSettings store;
  std::string bytes;
  for (int i = 0; i < 40; ++i) {
    store.sSet("Setting" + std::to_string(i), std::string(1000, static_cast<char>('a' + i % 26)));
    bytes += "SETTING" + std::to_string(i) + "," + std::string(1000, static_cast<char>('a' + i % 26)) +
             "\r\n";
  }
  enum class Answer { Retry, Cancel };
  for (Answer answer : {Answer::Cancel, Answer::Retry}) {
    SCOPED_TRACE(answer == Answer::Retry ? "Retry" : "Cancel");
    twitest::WriteFileBytes(file, "OLD,1\r\n");
    ASSERT_TRUE(twitest::FillDisk(filler)) << "the disk did not fill up";
    twitest::MsgBoxRecorder boxes;
    boxes.OnShow = [&](const ui::MsgBoxCall&) {
      // The old file is intact while the user decides, and nothing else is left.
      EXPECT_EQ(twitest::ReadFileBytes(file), "OLD,1\r\n");
      EXPECT_FALSE(twitest::PathExists(cSHAREDSettings::TemporaryFileOf(file)));
      if (answer == Answer::Retry) DeleteFileW(twi::ToWide(filler).c_str());
    };
    boxes.Answer(answer == Answer::Retry ? ui::vbRetry : ui::vbCancel);
    bool saved = store.SaveSettings(file);
    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_EQ(boxes.Calls()[0].prompt, expectedPrompt);
    EXPECT_EQ(boxes.Calls()[0].style, ui::vbRetryCancel);
    if (answer == Answer::Retry) {
      EXPECT_TRUE(saved);
      EXPECT_TRUE(twitest::ReadFileBytes(file) == bytes);
    } else {
      EXPECT_FALSE(saved);
      EXPECT_EQ(twitest::ReadFileBytes(file), "OLD,1\r\n");
    }
    EXPECT_FALSE(twitest::PathExists(cSHAREDSettings::TemporaryFileOf(file)));
    DeleteFileW(twi::ToWide(filler).c_str());
  }
}

}  // namespace
