// "Determine latest version" and the main window's side of transfers: the
// message boxes for each kind of reply, objects created once, no busy state,
// the guard against a second query, status texts and "Stop Current Download".
#include <gtest/gtest.h>

#include <chrono>

#include "app/frmMain.h"
#include "base/AppInfo.h"
#include "base/Clock.h"
#include "base/TextConv.h"
#include "diag/cSharedLogging.h"
#include "net/cSHAREDInternet.h"
#include "settings/cSHAREDSettings.h"
#include "support/ClientEvents.h"
#include "support/MainWindowDriver.h"
#include "support/TestServers.h"
#include "ui/Timer.h"
#include "update/fSHAREDUpdater.h"

namespace {

using twi::frmMain;

class LatestVersion : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string versions = twitest::HttpRoot() + "\\versions";
    CreateDirectoryW(twi::ToWide(versions).c_str(), nullptr);
    twitest::WriteFileBytes(twi::AppFolder() + "\\TWInstaller.ini",
                            "MAINSERVER," + twitest::HttpUrl("/files/") + "\r\n");
    twitest::StartMainWindow(window);
  }
  void Select(const std::string& program) { ASSERT_TRUE(twitest::SelectProgram(window, program)); }
  void ServeVersionFile(const std::string& name, const std::string& text) {
    twitest::WriteFileBytes(twitest::HttpRoot() + "\\versions\\" + name, text);
  }
  void ClickShowLatest() { SendMessageW(window.cmdShowLatest.hwnd(), BM_CLICK, 0, 0); }

  frmMain window;
  twitest::MsgBoxRecorder boxes;
};

TEST_F(LatestVersion, APlainVersionFileIsShownWhole) {
  ServeVersionFile("CALLCLK_current.txt", "3.1.4\r\nhttp://example.test/callclk.exe\r\n");
  Select("Callclock");
  ClickShowLatest();
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].prompt,
            "Latest version of CallClock is 3.1.4\r\nhttp://example.test/callclk.exe\r\n");
  EXPECT_EQ(boxes.Calls()[0].style, ui::vbOKOnly);
  EXPECT_EQ(boxes.Calls()[0].title, "Tarnwick Software Install Center");
}

// The maker's sha256 line is for the install's check: the user is shown the rest.
TEST_F(LatestVersion, TheMakersHashLineIsNotShown) {
  const std::string hashLine = "sha256 " + std::string(64, 'c') + "\r\n";
  ServeVersionFile("CALLCLK_current.txt",
                   "3.1.4\r\nhttp://example.test/callclk.exe\r\n" + hashLine + "Notes\r\n");
  Select("Callclock");
  ClickShowLatest();
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].prompt,
            "Latest version of CallClock is 3.1.4\r\nhttp://example.test/callclk.exe\r\nNotes\r\n");
}

TEST_F(LatestVersion, APlaceholderIsFilledAndTheAddressShownOnTheNextLine) {
  ServeVersionFile("QNV4_current.txt", "1.2.1\r\nhttp://example.test/pkg@@@.exe\r\nnotes\r\n");
  Select("qNovel4");
  ClickShowLatest();
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].prompt,
            "Latest version of qNovel4 is 1.2.1\r\rhttp://example.test/pkg121.exe");
}

TEST_F(LatestVersion, AnErrorPageOrNothingAtAll) {
  Select("qVoice");  // QVC1_current.txt is not on the server: a 404 page
  ClickShowLatest();
  twi::TheSettings().sSet("MainServer", "http://127.0.0.1:9/");  // nobody listens there
  Select("qTune");
  ClickShowLatest();
  ServeVersionFile("QALM_current.txt", "2.0.0@@@");  // a placeholder but no second line
  twi::TheSettings().sSet("MainServer", twitest::HttpUrl("/files/"));
  Select("qAlarm");
  ClickShowLatest();
  ASSERT_EQ(boxes.Calls().size(), 3u);
  EXPECT_EQ(boxes.Calls()[0].prompt, "Unable to retrieve version number. Please try again.");
  EXPECT_EQ(boxes.Calls()[1].prompt, "Latest version of qTune is ");
  EXPECT_EQ(boxes.Calls()[2].prompt, "Latest version of qAlarm is ");
}

TEST_F(LatestVersion, ObjectsAreCreatedOnceAndNothingTurnsBusy) {
  ServeVersionFile("QNV4_current.txt", "1.2.1\nhttp://example.test/pkg@@@.exe");
  Select("qNovel4");
  bool enabledDuringQuery = false;
  ui::Timer probe;
  probe.SetInterval(20);
  probe.OnTimer = [&] {
    probe.SetEnabled(false);
    enabledDuringQuery = window.cmdScan.Enabled() && window.cmbPrograms.Enabled();
  };
  probe.SetEnabled(true);
  ClickShowLatest();
  twi::cSHAREDInternet* client = window.cInternet.get();
  ASSERT_NE(client, nullptr);
  // The version file is read by its own reader: no updater window is made for it.
  EXPECT_EQ(window.Updater.get(), nullptr);
  ClickShowLatest();
  EXPECT_EQ(window.cInternet.get(), client);
  EXPECT_EQ(window.Updater.get(), nullptr);
  EXPECT_EQ(boxes.Calls().size(), 2u);
  EXPECT_TRUE(enabledDuringQuery);
}

TEST_F(LatestVersion, ASecondClickWhileTheQueryWaitsStartsNoTransfer) {
  Select("qPage");  // its version file comes slowly from this server
  twi::TheSettings().sSet("MainServer", twitest::HttpUrl("/paced/3000/1000/0.4/"));
  ui::Timer again;
  again.SetInterval(150);
  int clicks = 0;
  again.OnTimer = [&] {
    if (++clicks == 3) again.SetEnabled(false);
    ClickShowLatest();  // arrives while the first query waits
  };
  again.SetEnabled(true);
  ClickShowLatest();
  twitest::PumpFor(std::chrono::milliseconds(300));
  EXPECT_EQ(clicks, 3);
  EXPECT_EQ(boxes.Calls().size(), 1u);  // only the first query ran
}

TEST_F(LatestVersion, TransferStatusReachesTheStatusLineAndTheLog) {
  ServeVersionFile("SHC2_current.txt", "2.0.1\nhttp://example.test/shelfcat.exe");
  ClickShowLatest();
  // Only the final text of a query is shown: its state texts are kept quiet.
  EXPECT_EQ(window.Status(), "Downloaded 1 kb (100%)");
  std::string log = twitest::ReadFileBytes(twi::TheLog().CurrentLogFilename());
  EXPECT_NE(log.find(", Downloaded 1 kb (100%)\r\n"), std::string::npos);
  EXPECT_EQ(log.find(", Resolving host\r\n"), std::string::npos);
}

TEST_F(LatestVersion, StopCurrentDownloadCancelsTheRunningTransfer) {
  ClickShowLatest();  // creates the download client
  ASSERT_TRUE(window.cInternet);
  window.cmdStop.SetVisible(true);  // as a file download shows it
  twitest::ScratchFolder dir;
  ui::Timer stop;
  stop.SetInterval(500);
  stop.OnTimer = [&] {
    stop.SetEnabled(false);
    SendMessageW(window.cmdStop.hwnd(), BM_CLICK, 0, 0);
  };
  stop.SetEnabled(true);
  double start = twi::ClockSeconds();
  bool ok = window.cInternet->GetFile(twitest::HttpUrl("/slow/4000000/100000"), dir.File("p.zip"));
  EXPECT_FALSE(ok);
  EXPECT_LT(twi::ClockSeconds() - start, 2.0);
  EXPECT_FALSE(twitest::PathExists(dir.File("p.zip")));
  // The transfer's states reached the status line (and so the log) meanwhile.
  std::string log = twitest::ReadFileBytes(twi::TheLog().CurrentLogFilename());
  EXPECT_NE(log.find(", Connecting\r\n"), std::string::npos);
  EXPECT_NE(log.find(", Downloading\r\n"), std::string::npos);
}

}  // namespace
