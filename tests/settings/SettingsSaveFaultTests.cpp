// Saving TWInstaller.ini when the file or the disk is in the way: a read-only
// file, a file another program holds open, a file no one can make writable
// (immutable), and a disk that is really full (a small tmpfs mounted by the
// test set-up, tests/server/start-fsfaults). The old file survives every
// failed or cancelled save.
#include <gtest/gtest.h>

#include "base/TextConv.h"
#include "diag/cSharedLogging.h"
#include "settings/cSHAREDSettings.h"
#include "report/fSHAREDErrorRpt.h"
#include "support/FailingWrites.h"
#include "support/ModalForms.h"
#include "support/TestServers.h"
#include "support/TestSupport.h"
#include "sys/cSharedFileSubs.h"

namespace {

using twi::cSHAREDSettings;
using twi::fSHAREDErrorRpt;

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

// A file that another program holds without read sharing at start-up cannot be read: the
// store stays empty, and saving it at exit would replace every setting with the few of
// this run. The file is kept as it is, and the log says why.
TEST_F(SettingsSave, AFileThatCouldNotBeReadIsNotSavedOver) {
  const std::string before = "PROXYTYPE, 3 \r\nPROXYSERVER,kept\r\nOTHER,1\r\n";
  twitest::WriteFileBytes(file, before);
  cSHAREDSettings store;
  {
    twitest::FileHeldOpen holder(file, 0);
    ASSERT_TRUE(holder.Held());
    store.LoadSettings(file);
  }
  EXPECT_TRUE(store.Entries().empty());
  store.sSet("ProxyType", 0);
  twitest::MsgBoxRecorder boxes;
  EXPECT_TRUE(store.SaveSettings(file));
  EXPECT_TRUE(boxes.Calls().empty());
  EXPECT_EQ(twitest::ReadFileBytes(file), before);
  const std::string log = LogText();
  EXPECT_NE(log.find(file + " could not be read"), std::string::npos) << log;
  EXPECT_NE(log.find(file + " was not read at start-up, so it is kept as it is"), std::string::npos);
  // Read again later, the file is the store's own once more.
  store.LoadSettings(file);
  store.sSet("ProxyType", 0);
  EXPECT_TRUE(store.SaveSettings(file));
  EXPECT_EQ(twitest::ReadFileBytes(file), "PROXYTYPE, 0 \r\nPROXYSERVER,kept\r\nOTHER,1\r\n");
}

// Errors while the new content is written (the system refuses the writes): a path or
// file access error, or a bad file number, is taken for a read-only file (cleared and
// tried again, then "read-only ... Save cancelled."); any other error, permission denied
// among them, goes to the error display. The old file stays every time.
TEST_F(SettingsSave, WriteErrorsAreToldAsTheirKind) {
  struct Case {
    const char* name;
    DWORD win32;
    std::string box;     // the message box, or ""
    std::string report;  // the error display's text, or ""
  } cases[] = {
      {"permission denied", ERROR_ACCESS_DENIED, "", "70 - Permission denied in SaveSettings"},
      {"device error", ERROR_WRITE_FAULT, "", "57 - Device I/O error in SaveSettings"},
      {"bad file number", ERROR_INVALID_HANDLE,
       "Your settings file is read-only and I can't change it. Save cancelled.", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    twitest::WriteFileBytes(file, "OLD,1\r\n");
    twitest::MsgBoxRecorder boxes;
    std::string reported;
    twitest::WhenShown<fSHAREDErrorRpt> report([&](fSHAREDErrorRpt& window) {
      reported = window.Report().errorText;
      window.cmdExit.Click();
    });
    cSHAREDSettings store = NewSettings();
    {
      twitest::FailingWrites refused({"\\TWInstaller.ini.new", "\\TWInstaller.ini"}, c.win32);
      ASSERT_TRUE(refused.Installed());
      EXPECT_FALSE(store.SaveSettings(file));
    }
    EXPECT_EQ(reported, c.report);
    EXPECT_EQ(boxes.Calls().size(), c.box.empty() ? 0u : 1u);
    if (!c.box.empty() && !boxes.Calls().empty()) {
      EXPECT_EQ(boxes.Calls()[0].prompt, c.box);
    }
    EXPECT_EQ(twitest::ReadFileBytes(file), "OLD,1\r\n");
  }
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
