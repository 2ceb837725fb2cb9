// The runtime scan in the main window, against stand-in controls that are
// registered with regsvr32 and unregistered again.
#include <gtest/gtest.h>

#include <chrono>
#include <system_error>

#include "app/frmMain.h"
#include "base/Clock.h"
#include "diag/cSharedLogging.h"
#include "install/RuntimeScan.h"
#include "settings/cSHAREDSettings.h"
#include "support/MainWindowDriver.h"
#include "support/StandIns.h"
#include "support/TestSupport.h"

namespace {

using twi::frmMain;
using twi::RuntimeScan;

class Scan : public ::testing::Test {
 protected:
  void SetUp() override { twitest::StartMainWindow(window); }
  void Select(const std::string& program) {
    ASSERT_TRUE(twitest::SelectProgram(window, program));
  }
  // Clicks "Scan Runtimes" as a user does; the seconds it took.
  double ClickScan() {
    logStart_ = twitest::ReadFileBytes(twi::TheLog().CurrentLogFilename()).size();
    double start = twi::ClockSeconds();
    SendMessageW(window.cmdScan.hwnd(), BM_CLICK, 0, 0);
    return twi::ClockSeconds() - start;
  }
  // The log texts written since the last scan started.
  std::vector<std::string> LogTextsOfScan() {
    std::string log = twitest::ReadFileBytes(twi::TheLog().CurrentLogFilename()).substr(logStart_);
    std::vector<std::string> texts;
    for (const std::string& line : twitest::SplitLines(log)) texts.push_back(twitest::LogTextOf(line));
    return texts;
  }
  std::string Name(int row) { return window.lblControlName[row].Caption(); }
  bool Passed(int row) { return twitest::RowPassed(window, row); }
  bool Failed(int row) { return twitest::RowFailed(window, row); }
  bool Empty(int row) {
    return !window.lblControlName.Exists(row) ||
           (Name(row).empty() && !window.lblOK[row].Visible() && !window.lblFail[row].Visible() &&
            !window.cmdInstall[row].Visible());
  }

  frmMain window;
  size_t logStart_ = 0;
};

TEST_F(Scan, WithoutTheControlsEveryRowFailsWithItsInstallButton) {
  Select("ShelfCat2");
  ClickScan();
  EXPECT_EQ(Name(0), "Internet Control (MSInet.ocx)");
  EXPECT_EQ(Name(1), "Common Controls (MSComCTL.ocx)");
  EXPECT_TRUE(Failed(0));
  EXPECT_TRUE(Failed(1));
  EXPECT_EQ(window.cmdInstall[0].Tag, "MSINET");
  EXPECT_EQ(window.cmdInstall[1].Tag, "MSCOMCTL");
  EXPECT_TRUE(Empty(2));
  EXPECT_FALSE(window.Scan.InetOK());
  EXPECT_EQ(window.Status(), RuntimeScan::kSomeFailed);
  EXPECT_TRUE(window.cmdScan.Enabled());  // idle again
  auto log = LogTextsOfScan();
  std::vector<std::string> expected = {
      "Scanning",
      "Beginning scan",
      "Testing MSINET",
      "ControlOK: Component 'MSINET.OCX' or one of its dependencies not correctly registered: "
      "a file is missing or invalid",
      "Error in Internet Control (MSInet.ocx)",
      "339 - Component 'MSINET.OCX' or one of its dependencies not correctly registered: a file "
      "is missing or invalid",
  };
  ASSERT_GE(log.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 6), expected);
  EXPECT_EQ(log.back(), RuntimeScan::kSomeFailed);
}

TEST_F(Scan, RegisteredControlsPassAndTheLogTellsTheSteps) {
  twitest::Registered inet("msinet.ocx"), comctl("MsComCtl.ocx");
  Select("ShelfCat2");
  ClickScan();
  EXPECT_TRUE(Passed(0));
  EXPECT_TRUE(Passed(1));
  EXPECT_TRUE(window.Scan.InetOK());
  EXPECT_EQ(window.Status(), RuntimeScan::kAllPassed);
  std::vector<std::string> expected = {"Scanning",
                                       "Beginning scan",
                                       "Testing MSINET",
                                       "Internet Control (MSInet.ocx) Passed.",
                                       "Testing MSComCtl",
                                       "Common Controls (MSComCTL.ocx) Passed.",
                                       RuntimeScan::kAllPassed};
  EXPECT_EQ(LogTextsOfScan(), expected);
}

TEST_F(Scan, FourComponentsInScanOrderAndFewerLaterLeaveRowsEmpty) {
  twitest::Registered inet("msinet.ocx"), comctl("MsComCtl.ocx"), comct2("MsComCt2.ocx"),
      rich("Richtx32.ocx");
  Select("qNovel4");
  double seconds = ClickScan();
  ASSERT_TRUE(window.lblControlName.Exists(3));
  EXPECT_EQ(Name(0), "Internet Control (MSInet.ocx)");
  EXPECT_EQ(Name(1), "Common Controls 2 (MSComCT2.ocx)");
  EXPECT_EQ(Name(2), "Common Controls (MSComCTL.ocx)");
  EXPECT_EQ(Name(3), "Rich Text controls (Richtx32.ocx)");
  for (int row = 0; row < 4; ++row) EXPECT_TRUE(Passed(row)) << row;
  EXPECT_EQ(window.Status(), RuntimeScan::kAllPassed);
  // Each test waits 0.15 s before it starts.
  EXPECT_GT(seconds, 0.6);
  EXPECT_LT(seconds, 3.0);
  std::printf("[ measured ] scan of four components: %.3f s\n", seconds);
  // Rows move down 475 twips each; the button sits 100 twips higher.
  for (int row = 0; row < 4; ++row) {
    EXPECT_EQ(window.lblControlName[row].Top(), 340 + 475 * row);
    EXPECT_EQ(window.lblOK[row].Top(), 340 + 475 * row);
    EXPECT_EQ(window.cmdInstall[row].Top(), 240 + 475 * row);
  }
  Select("ShelfCat2");
  ClickScan();
  EXPECT_TRUE(Passed(0));
  EXPECT_TRUE(Passed(1));
  EXPECT_TRUE(Empty(2));
  EXPECT_TRUE(Empty(3));
}

TEST_F(Scan, AnUnregisteredRichTextControlFailsItsRowOnly) {
  twitest::Registered inet("msinet.ocx"), comctl("MsComCtl.ocx"), comct2("MsComCt2.ocx");
  Select("qNovel4");
  ClickScan();
  EXPECT_TRUE(Passed(0));
  EXPECT_TRUE(Passed(2));
  EXPECT_TRUE(Failed(3));
  EXPECT_EQ(window.cmdInstall[3].Tag, "RICHTXT");
  EXPECT_TRUE(window.Scan.InetOK());  // whatever the other results
  EXPECT_EQ(window.Status(), RuntimeScan::kSomeFailed);
  auto log = LogTextsOfScan();
  auto error = std::find(log.begin(), log.end(), "Error in Rich Text controls (Richtx32.ocx)");
  ASSERT_NE(error, log.end());
  ASSERT_NE(error + 1, log.end());
  EXPECT_EQ((error + 1)->rfind("339 - Component 'RICHTX32.OCX'", 0), 0u);
}

TEST_F(Scan, TheInternetControlAloneAlwaysFillsRowZero) {
  twitest::Registered inet("msinet.ocx");
  for (int i = 0; i < 3; ++i) window.Scan.TestComponent("MSCOMCTL");
  ASSERT_EQ(window.Scan.NextRow(), 3);
  window.ClearRows();  // rows 0 to 2 stay loaded, blank
  EXPECT_TRUE(window.Scan.TestMSINET());
  EXPECT_EQ(window.Scan.NextRow(), 1);
  EXPECT_EQ(Name(0), "Internet Control (MSInet.ocx)");
  EXPECT_TRUE(Passed(0));
  EXPECT_FALSE(window.lblControlName.Exists(3));
}

TEST_F(Scan, SpeechObjectsAreCreatedByTheirClassIds) {
  twitest::Registered inet("msinet.ocx"), comctl("MsComCtl.ocx"), rich("Richtx32.ocx");
  Select("qVoice");
  ClickScan();
  EXPECT_EQ(Name(3), "Speech API 4.0");
  EXPECT_TRUE(Failed(3));  // Wine has no speech API 4
  {
    twitest::Registered speech4("twspeech4.dll");
    ClickScan();
    EXPECT_TRUE(Passed(3));
    EXPECT_EQ(window.Status(), RuntimeScan::kAllPassed);
  }
  Select("qVoice2");
  {
    twitest::Registered speech5("twspeech5.dll");
    ClickScan();
    EXPECT_EQ(Name(3), "Speech API 5.x");
    EXPECT_TRUE(Passed(3));
  }
}

TEST_F(Scan, AnyKindOfErrorOutsideTheTestsLeavesTheWindowIdle) {
  window.lblStatus.OnChange = [] {
    throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
  };
  ClickScan();
  EXPECT_TRUE(window.cmdScan.Enabled());
  EXPECT_TRUE(window.cmbPrograms.Enabled());
}

}  // namespace
