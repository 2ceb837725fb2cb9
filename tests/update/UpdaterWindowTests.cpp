// The updater window against the fixture server: the newer-version rule, what
// the check shows and stores for each kind of version file, the package
// download's size and error-page rules, the buttons and the setting kept on
// every way the window closes.
#include <gtest/gtest.h>

#include <regex>
#include <vector>

#include "base/AppInfo.h"
#include "base/TextConv.h"
#include "settings/cSHAREDSettings.h"
#include "support/LogCapture.h"
#include "support/TestServers.h"
#include "support/TestSupport.h"
#include "net/cSHAREDInternet.h"
#include "update/UpdateCheck.h"
#include "update/VersionRecord.h"
#include "update/fSHAREDUpdater.h"

namespace {

using twi::VersionRecord;

VersionRecord V(short a, short b, short c, const char* suffix = "") { return {a, b, c, suffix}; }

TEST(VersionRule, NumbersFirstThenTheSuffixByCharacterCodes) {
  struct Case {
    VersionRecord released, running;
    bool newer;
  };
  const Case cases[] = {
      {V(1, 2, 1), V(1, 2, 0), true},
      {V(1, 2, 0, "b"), V(1, 2, 0), true},   // a suffix is newer than none
      {V(1, 2, 0), V(1, 2, 0, "b"), false},
      {V(1, 9, 9), V(1, 10, 0), false},      // numbers, not texts
      {V(1, 10, 0), V(1, 9, 9), true},
      {V(1, 2, 0, "a"), V(1, 2, 0, "B"), true},  // "a" (97) > "B" (66)
      {V(1, 2, 0, "B"), V(1, 2, 0, "a"), false},
      {V(1, 2, 99), V(1, 2, 99), false},
      {V(2, 0, 0), V(1, 9, 9), true},
      {V(1, 3, 0), V(1, 2, 99), true},
      {V(0, 0, 0), V(1, 2, 99), false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.released.IsNewerThan(c.running), c.newer)
        << c.released.ShownText() << " against " << c.running.ShownText();
  EXPECT_EQ(V(1, 2, 0, "b").ShownText(), "1.2.0B");
}

// The check's steps with no updater window: fetch, read, compare.
TEST(UpdateCheckSteps, FetchReadAndCompareWithoutAWindow) {
  twi::TheSettings().DeleteAllSettings();  // no server remembered as signing
  CreateDirectoryW(twi::ToWide(twitest::HttpRoot() + "\\versions").c_str(), nullptr);
  const std::string file = twitest::HttpRoot() + "\\versions\\steps.txt";
  const std::string url = twitest::HttpUrl("/files/versions/steps.txt");
  using Outcome = twi::ReleaseInfo::Outcome;
  struct Case {
    std::string text;
    Outcome outcome;
    std::string address;
    bool newerThan1299;
  };
  const Case cases[] = {
      {"1.3.0\r\nhttp://h/TWInstUpd@@@.exe\r\n", Outcome::Read, "http://h/TWInstUpd130.exe", true},
      {"1.2.99\nhttp://h/p.exe\n", Outcome::Read, "http://h/p.exe", false},
      {"1.2\nhttp://h/p.exe\n", Outcome::Read, "http://h/p.exe", false},  // read as 0.0.0
      {"1.3.0", Outcome::NoAddress, "", false},
      {"   ", Outcome::NoReply, "", false},  // blanks only
      {"  \r\n", Outcome::NoAddress, "", false},  // a line break is not a blank
      {"<HTML><body>404 Not Found</body></HTML>", Outcome::NoReply, "", false},
  };
  twi::cSHAREDInternet client;
  const twi::VersionRecord running = twi::RunningVersion("1.2.99");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    twitest::WriteFileBytes(file, c.text);
    const twi::ReleaseInfo release = twi::ReadRelease(twi::FetchVersionFile(client, url));
    EXPECT_EQ(release.outcome, c.outcome);
    EXPECT_EQ(release.address, c.address);
    EXPECT_EQ(twi::IsUpdate(release, running), c.newerThan1299);
  }
  // Nothing at all: the server's 404 page.
  DeleteFileW(twi::ToWide(file).c_str());
  EXPECT_EQ(twi::ReadRelease(twi::FetchVersionFile(client, url)).outcome, Outcome::NoReply);
}

class UpdaterWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDirectoryW(twi::ToWide(twitest::HttpRoot() + "\\versions").c_str(), nullptr);
    twi::TheSettings().DeleteAllSettings();
    updater.Status = [this](const std::string& text) { statuses.push_back(text); };
    updater.Load();
  }
  void TearDown() override { DeleteFileW(twi::ToWide(Saved()).c_str()); }
  std::string Serve(const std::string& text) {
    twitest::WriteFileBytes(twitest::HttpRoot() + "\\versions\\TWI_current.txt", text);
    return twitest::HttpUrl("/files/versions/TWI_current.txt");
  }
  bool Check(const std::string& versionFile) {
    statuses.clear();
    return updater.CheckForUpdate(false, Serve(versionFile), "", "TWInstUpd.exe");
  }
  std::string Saved() const { return twi::AppFolder() + "\\TWInstUpd.exe"; }

  twi::fSHAREDUpdater updater;
  std::vector<std::string> statuses;
};

TEST_F(UpdaterWindow, LoadShowsTheProgramAndTheStoredChoice) {
  EXPECT_EQ(updater.Caption(), "Tarnwick Software Install Center Updater");
  EXPECT_EQ(updater.lblProgram.Caption(), "Tarnwick Software Install Center version 1.2.99");
  EXPECT_EQ(updater.chkDisableAutoUpdate.Value(), 1);  // true when nothing is stored
  EXPECT_EQ(updater.Label2.Caption(), twi::fSHAREDUpdater::kPrivacyText);
}

TEST_F(UpdaterWindow, ANewerVersionIsShownInGreenAndDatedAsText) {
  twitest::LogCapture log;
  EXPECT_TRUE(Check("1.3.0\r\n" + twitest::HttpUrl("/files/TWInstUpd@@@.exe") + "\r\n"));
  EXPECT_TRUE(updater.Visible());
  EXPECT_EQ(updater.lblUpdate.Caption(), "Version 1.3.0 is available!");
  EXPECT_EQ(updater.ProgURL, twitest::HttpUrl("/files/TWInstUpd130.exe"));
  EXPECT_EQ(statuses, (std::vector<std::string>{"Checking for update", "Data retrieved", ""}));
  std::string date = twi::TheSettings().sGet("LastUpdateCheck").AsText();
  EXPECT_TRUE(std::regex_match(date, std::regex(R"(\d\d[/.-][^/.-]+[/.-]\d{4})"))) << date;
  EXPECT_TRUE(updater.cmdCheckAgain.Enabled());
  EXPECT_TRUE(log.Contains("DBG: "));  // the (empty) final message, recorded
}

TEST_F(UpdaterWindow, EachKindOfVersionFileGivesItsResult) {
  const std::string site = "http://www.tarnwick-software.example";
  struct Case {
    const char* what;
    std::string file;
    std::string label, finalStatus;
  };
  const std::string address = "\r\n" + twitest::HttpUrl("/files/x.exe") + "\r\n";
  const Case cases[] = {
      {"the running version", "1.2.99" + address, "You're up to date!",
       "Latest available version is 1.2.99"},
      {"an older version", "1.2.5b" + address, "You're up to date!",
       "Latest available version is 1.2.5B"},
      {"two parts", "2.0" + address, "You're up to date!", "Latest available version is 0.0.0"},
      {"an HTML page", "<html><body>404 Not Found</body></html>\r\n", "Could not retrieve update status",
       "Update check failed. Visit " + site + " to update this program manually."},
      {"an empty reply", "   ", "Could not retrieve update status",
       "Update check failed. Visit " + site + " to update this program manually."},
      {"one line", "1.3.0", "Could not read update status from file",
       "Update check failed, could not read download filename"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    twi::TheSettings().DeleteAllSettings();
    EXPECT_FALSE(Check(c.file));
    EXPECT_EQ(updater.lblUpdate.Caption(), c.label);
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses.back(), c.finalStatus);
  }
  // Up to date: the day of the check as a whole day number.
  twi::TheSettings().DeleteAllSettings();
  Check("1.2.99" + address);
  EXPECT_TRUE(twi::TheSettings().sGet("LastUpdateCheck").IsLong());
}

TEST_F(UpdaterWindow, APackageDownloadKeepsOnlyACompletePackage) {
  const std::string folder = twi::AppFolder() + "\\";
  twitest::WriteFileBytes(twitest::HttpRoot() + "\\error.html",
                          "<HTML><BODY>The page was not found</BODY></HTML>");
  struct Case {
    const char* what;
    std::string url;
    bool result;
    const char* status;  // "" none
    bool fileStays;
  };
  const Case cases[] = {
      {"a whole package", twitest::HttpUrl("/bytes/30000"), true, "", true},
      {"a server's error page", twitest::HttpUrl("/files/error.html"), false,
       "Error - File not found on server.", false},
      {"fewer bytes than announced", twitest::HttpUrl("/short/500000/400000"), false,
       "Error - Downloaded file is incomplete. Please retry", false},
      {"a small file that is no page", twitest::HttpUrl("/bytes/1000"), false, "", true},
      {"no server", "http://127.0.0.1:9/TWInstUpd.exe", false, "Error - Download failed.", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    statuses.clear();
    DeleteFileW(twi::ToWide(Saved()).c_str());
    EXPECT_EQ(updater.DownloadFile(folder, "TWInstUpd.exe", c.url, false), c.result);
    EXPECT_EQ(statuses, *c.status ? std::vector<std::string>{c.status} : std::vector<std::string>{});
    EXPECT_EQ(twitest::PathExists(Saved()), c.fileStays);
  }
}

TEST_F(UpdaterWindow, DownloadOnlySavesThePackageAndSaysWhere) {
  twitest::WriteFileBytes(twitest::HttpRoot() + "\\TWInstUpd130.exe", std::string(40000, 'p'));
  Check("1.3.0\r\n" + twitest::HttpUrl("/files/TWInstUpd@@@.exe") + "\r\n");
  twitest::MsgBoxRecorder boxes;
  updater.cmdDownload.Click();
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].prompt, "File saved to " + Saved());
  EXPECT_EQ(twitest::ReadFileBytes(Saved()), std::string(40000, 'p'));
  EXPECT_TRUE(updater.IsLoaded());
}

TEST_F(UpdaterWindow, DownloadAndInstallAsksThenHandsOverOrSaysWhere) {
  twitest::WriteFileBytes(twitest::HttpRoot() + "\\TWInstUpd130.exe", std::string(40000, 'p'));
  for (int answer : {ui::vbNo, ui::vbYes}) {
    if (!updater.IsLoaded()) updater.Load();
    updater.ProgURL.clear();  // the check runs again first, unseen
    updater.UpdateURL = Serve("1.3.0\r\n" + twitest::HttpUrl("/files/TWInstUpd@@@.exe"));
    updater.UpdateFilename = "TWInstUpd.exe";
    int installs = 0, closes = 0;
    updater.InstallFile = [&] { ++installs; };
    updater.FormClosed = [&] { ++closes; };
    twitest::MsgBoxRecorder boxes;
    boxes.Answer(ui::vbNo);  // the unseen check found the update: no details now
    boxes.Answer(answer);
    updater.cmdDownloadInstall.Click();
    // The hand-over waits until the click's handler has returned.
    EXPECT_EQ(installs, 0);
    EXPECT_EQ(closes, 0);
    if (answer == ui::vbYes)
      ASSERT_TRUE(twitest::PumpUntil([&] { return installs > 0; }, std::chrono::seconds(10)));
    else
      twitest::PumpFor(std::chrono::milliseconds(200));  // nothing is posted for a "No"
    ASSERT_GE(boxes.Calls().size(), 2u);
    EXPECT_EQ(boxes.Calls()[0].prompt,
              "An update is available. Would you like to view the details now?");
    EXPECT_EQ(boxes.Calls()[1].prompt,
              "The update has been downloaded. Do you want to install it now?");
    EXPECT_EQ(boxes.Calls()[1].style, ui::vbYesNo);
    if (answer == ui::vbNo) {
      ASSERT_EQ(boxes.Calls().size(), 3u);
      EXPECT_EQ(boxes.Calls()[2].prompt, "File saved to " + Saved());
      EXPECT_EQ(installs, 0);
      EXPECT_TRUE(updater.IsLoaded());
    } else {
      EXPECT_EQ(installs, 1);
      EXPECT_EQ(closes, 1);
      EXPECT_FALSE(updater.IsLoaded());
    }
  }
}

TEST_F(UpdaterWindow, EveryWayOfClosingStoresTheCheckBox) {
  struct Case {
    int ticked;
    bool byExitButton;
  };
  for (const Case& c : {Case{1, true}, Case{0, true}, Case{1, false}, Case{0, false}}) {
    if (!updater.IsLoaded()) updater.Load();
    int closes = 0;
    updater.FormClosed = [&] { ++closes; };
    updater.chkDisableAutoUpdate.SetValue(c.ticked);
    if (c.byExitButton)
      updater.cmdExit.Click();
    else
      updater.SimulateClose(ui::CloseReason::ControlMenu);
    EXPECT_FALSE(updater.IsLoaded());
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(twi::TheSettings().sGet("DisableAutoUpdateCheck").AsBool(), c.ticked == 1);
  }
}

TEST_F(UpdaterWindow, DetailsShowTheTextOrSayTheServerFailed) {
  twitest::WriteFileBytes(twitest::HttpRoot() + "\\details.txt", "line one\nline two");
  updater.DetailsURL = twitest::HttpUrl("/files/details.txt");
  updater.cmdShowDetail.Click();
  EXPECT_TRUE(updater.txtDetails.Visible());
  EXPECT_EQ(updater.txtDetails.Text(), "line one\r\nline two");
  updater.DetailsURL = twitest::HttpUrl("/files/missing.txt");  // the server's 404 page
  updater.cmdShowDetail.Click();
  EXPECT_EQ(updater.txtDetails.Text(),
            "Unable to read data from server. Please check your internet settings and try again.");
  updater.DetailsURL = "";
  updater.cmdShowDetail.Click();
  EXPECT_EQ(updater.txtDetails.Text(), "");
}

}  // namespace
