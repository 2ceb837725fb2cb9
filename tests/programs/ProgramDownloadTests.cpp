// "Download and Install Program" in the main window against the fixture server:
// the version file each program asks for, the installer fetched, run and waited
// for, the scan after it, and what every kind of bad version file or package
// leads to.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "app/frmMain.h"
#include "base/AppInfo.h"
#include "base/TextConv.h"
#include "install/DownloadFile.h"
#include "install/ProgramInstaller.h"
#include "install/RuntimeScan.h"
#include "support/MainWindowDriver.h"
#include "support/ProgramInstallers.h"
#include "support/StandIns.h"
#include "support/TestServers.h"
#include "support/TestSupport.h"

namespace {

using twi::frmMain;

class ProgramDownload : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDirectoryW(twi::ToWide(twitest::HttpRoot() + "\\versions").c_str(), nullptr);
    DeleteFileW(twi::ToWide(twitest::ServerFile("http-requests.log")).c_str());
    twitest::WriteFileBytes(twi::AppFolder() + "\\TWInstaller.ini",
                            "MAINSERVER," + twitest::HttpUrl("/files/") + "\r\n");
    twitest::StartMainWindow(window);
    auto logStatus = window.lblStatus.OnChange;
    window.lblStatus.OnChange = [this, logStatus] {
      statuses.push_back(window.Status());
      if (onStatus) onStatus(window.Status());
      if (logStatus) logStatus();
    };
  }
  void TearDown() override {
    for (const std::string& name : leftovers)
      DeleteFileW(twi::ToWide(twi::AppFolder() + "\\" + name).c_str());
  }
  void ServeVersionFile(const std::string& name, const std::string& text) {
    twitest::WriteFileBytes(twitest::HttpRoot() + "\\versions\\" + name, text);
  }
  void Install(const std::string& program) {
    ASSERT_TRUE(twitest::SelectProgram(window, program));
    statuses.clear();
    SendMessageW(window.cmdInstallProg.hwnd(), BM_CLICK, 0, 0);
  }
  std::vector<std::string> Requests() {
    return twitest::SplitLines(twitest::ReadFileBytes(twitest::ServerFile("http-requests.log")));
  }
  bool Saw(const std::string& status) {
    return std::find(statuses.begin(), statuses.end(), status) != statuses.end();
  }
  std::string Package(const std::string& name) {
    leftovers.push_back(name);
    return twi::AppFolder() + "\\" + name;
  }

  twitest::Registered internetControl{"msinet.ocx"};
  frmMain window;
  std::vector<std::string> statuses;
  std::function<void(const std::string&)> onStatus;
  std::vector<std::string> leftovers;
};

TEST_F(ProgramDownload, EachProgramAsksForItsOwnVersionFile) {
  twitest::MsgBoxRecorder boxes;
  for (const char* program : {"qVoice", "qNovel4"}) Install(program);
  std::vector<std::string> requests = Requests();
  auto asked = [&](const std::string& file) {
    for (const std::string& line : requests)
      if (line.find("/files/versions/" + file + " ") != std::string::npos) return true;
    return false;
  };
  EXPECT_TRUE(asked("QVC1_current.txt"));
  EXPECT_TRUE(asked("QNV4_current.txt"));
  EXPECT_EQ(window.Status(), "Could not retrieve program info");  // neither is served
}

TEST_F(ProgramDownload, FetchesRunsAndWaitsForTheInstallerThenScans) {
  twitest::MakeStandInInstaller(twitest::HttpRoot() + "\\pkg121.exe", "qNovel4 test", "1.2.1",
                                0, 1.0);
  ServeVersionFile("QNV4_current.txt",
                   "1.2.1\r\n" + twitest::HttpUrl("/files/pkg@@@.exe") + "\r\nWhat is new\r\n");
  const std::string installed = twitest::InstalledVersionFile("qNovel4 test");
  DeleteFileW(twi::ToWide(installed).c_str());
  bool installedWhenRunning = true, installedWhenEnded = false;
  onStatus = [&](const std::string& status) {
    if (status == "Running Installer") installedWhenRunning = twitest::PathExists(installed);
    if (status == "Installer Ended") installedWhenEnded = twitest::PathExists(installed);
  };
  twitest::MsgBoxRecorder boxes;
  Install("qNovel4");
  ASSERT_FALSE(boxes.Calls().empty());
  EXPECT_EQ(boxes.Calls()[0].prompt, "If you are using qNovel4 please close it before proceeding");
  EXPECT_EQ(boxes.Calls()[0].style, ui::vbOKOnly);
  EXPECT_TRUE(twitest::PathExists(Package("pkg121.exe")));
  EXPECT_FALSE(installedWhenRunning);
  EXPECT_TRUE(installedWhenEnded);
  EXPECT_EQ(twitest::ReadFileBytes(installed), "1.2.1\r\n");
  std::vector<std::string> order = {"Retrieving download info", "", "Connecting to server",
                                    "Running Installer", "Installer Ended", "Scanning"};
  auto at = statuses.begin();
  for (const std::string& status : order) {
    at = std::find(at, statuses.end(), status);
    EXPECT_NE(at, statuses.end()) << "\"" << status << "\" missing or out of order";
  }
  EXPECT_TRUE(window.Status() == twi::RuntimeScan::kAllPassed ||
              window.Status() == twi::RuntimeScan::kSomeFailed)
      << window.Status();
  EXPECT_TRUE(window.cmdInstallProg.Enabled());
  EXPECT_TRUE(window.cmbPrograms.Enabled());
}

TEST_F(ProgramDownload, AnInstallerThatFailsChangesNothingOfTheRoad) {
  twitest::MakeStandInInstaller(twitest::HttpRoot() + "\\failing.exe", "Failing test", "9.9.9", 7);
  ServeVersionFile("QNV4_current.txt", "2.0.0\r\n" + twitest::HttpUrl("/files/failing.exe"));
  twitest::MsgBoxRecorder boxes;
  Install("qNovel4");
  Package("failing.exe");
  EXPECT_TRUE(Saw("Installer Ended"));
  EXPECT_TRUE(Saw("Scanning"));
  EXPECT_TRUE(window.cmdScan.Enabled());
}

// Version files and packages that name no usable installer: nothing runs, and
// the status says which.
TEST_F(ProgramDownload, BadVersionFilesAndPackagesRunNothing) {
  twitest::WriteFileBytes(twitest::HttpRoot() + "\\page.exe",
                          "<html><body>Sorry, that package is gone</body></html>");
  const std::string nginx404 =
      "<html>\r\n<head><title>404 Not Found</title></head>\r\n<body>\r\n<center><h1>404 Not "
      "Found</h1></center>\r\n<hr><center>nginx/1.22.1</center>\r\n</body>\r\n</html>\r\n";
  const std::string missing = twitest::HttpUrl("/files/missing.exe");
  struct Case {
    const char* what;
    std::string versionFile;
    std::string finalStatus;  // the last status before the scan ("" when no scan runs)
  };
  const std::string noInfo = "Could not retrieve program info";
  const Case cases[] = {
      {"an empty file", "", noInfo},
      {"a single line", "1.2.1", noInfo},
      {"an HTML page", "<HTML><BODY>Server error</BODY></HTML>", noInfo},
      {"an HTML page in small letters", "<html><body>error</body></html>", noInfo},
      {"nginx's own 404 page", nginx404, noInfo},
      {"a missing package", "1.2.1\r\n" + missing + "\r\n", "Download Failed"},
      {"a package that is an HTML page", "1.2.1\n" + twitest::HttpUrl("/files/page.exe"),
       "Download Failed"},
      {"a package shorter than announced", "1.2.1\r\n" + twitest::HttpUrl("/short/50000/30000"),
       "Download Failed"},
      {"an address whose last segment is empty", "1.2.1\r\n" + twitest::HttpUrl("/files/"),
       "Download Failed"},
      {"two version parts and a placeholder", "2.0\r\n" + twitest::HttpUrl("/files/p@@@.exe"),
       "Download Failed"},  // p000.exe: the numbers stay 0
      {"a number over 32767", "99999.1.1\r\n" + twitest::HttpUrl("/files/p@@@.exe"),
       "Download Failed"},  // p011.exe
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ServeVersionFile("QNV4_current.txt", c.versionFile);
    twitest::MsgBoxRecorder boxes;
    Install("qNovel4");
    ASSERT_TRUE(Saw(c.finalStatus)) << "statuses: " << ::testing::PrintToString(statuses);
    EXPECT_FALSE(Saw("Running Installer"));
    EXPECT_TRUE(window.cmdInstallProg.Enabled());
    for (const char* name : {"missing.exe", "page.exe", "30000", "p000.exe", "p011.exe"})
      EXPECT_FALSE(twitest::PathExists(twi::AppFolder() + "\\" + name)) << name;
  }
}

// Version files whose address is written out: line ends of any kind, blanks,
// further lines joined, a long line, letters in the version.
TEST_F(ProgramDownload, WrittenOutAddressesAreReadAsTheyStand) {
  const std::string url = twitest::HttpUrl("/files/x.exe");
  struct Case {
    const char* what;
    std::string file;
    std::string address;
  };
  const Case cases[] = {
      {"CR LF", "1.2.1\r\n" + url + "\r\n", url},
      {"LF only", "1.2.1\n" + url + "\n", url},
      {"a third line joined", "1.2.1\r\n" + url + "\r\nnotes", url + "notes"},
      {"blanks around it", "1.2.1\r\n  " + url + "  \r\n", "  " + url + "  "},
      {"letters inside the numbers", "1.2x.3y\r\n" + url, url},
      {"a 100 KB line", std::string(100000, '1') + "\r\n" + url, url},
  };
  twi::install::ProgramInstaller installer(window, window.Scan);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ServeVersionFile("QNV4_current.txt", c.file);
    EXPECT_EQ(installer.GetDownloadInfo(twitest::HttpUrl("/files/versions/QNV4_current.txt")),
              c.address);
  }
}

TEST_F(ProgramDownload, BlanksAroundTheAddressStillFetchAndRunTheInstaller) {
  twitest::MakeStandInInstaller(twitest::HttpRoot() + "\\blank.exe", "Blank test", "3.0.0");
  ServeVersionFile("QNV4_current.txt",
                   "3.0.0\r\n " + twitest::HttpUrl("/files/blank.exe") + " \r\n");
  twitest::MsgBoxRecorder boxes;
  Install("qNovel4");
  Package("blank.exe");
  EXPECT_TRUE(Saw("Installer Ended"));
  EXPECT_EQ(twitest::ReadFileBytes(twitest::InstalledVersionFile("Blank test")), "3.0.0\r\n");
}

TEST_F(ProgramDownload, AnFtpPackageAddressGoesThroughTheFtpSequence) {
  CreateDirectoryW(twi::ToWide(twitest::FtpRoot() + "\\pub").c_str(), nullptr);
  twitest::MakeStandInInstaller(twitest::FtpRoot() + "\\pub\\ftpsetup.exe", "FTP test", "4.0.1");
  ServeVersionFile("QNV4_current.txt",
                   "4.0.1\r\nftp://" + twitest::FtpHostAndPort() + "/pub/ftpsetup.exe\r\n");
  twitest::MsgBoxRecorder boxes;
  Install("qNovel4");
  EXPECT_TRUE(twitest::PathExists(Package("ftpsetup.exe")));
  EXPECT_TRUE(Saw("Installer Ended"));
  EXPECT_EQ(twitest::ReadFileBytes(twitest::InstalledVersionFile("FTP test")), "4.0.1\r\n");
}

TEST_F(ProgramDownload, A404PackageShowsTheServerErrorBoxAndRunsNothing) {
  ServeVersionFile("QNV4_current.txt", "1.2.1\r\n" + twitest::HttpUrl("/files/gone.exe"));
  twitest::MsgBoxRecorder boxes;
  Install("qNovel4");
  std::vector<std::string> prompts;
  for (const auto& call : boxes.Calls()) prompts.push_back(call.prompt);
  EXPECT_NE(std::find(prompts.begin(), prompts.end(),
                      std::string(twi::install::kNotOnServer) + twi::MakerWebSite()),
            prompts.end())
      << ::testing::PrintToString(prompts);
  EXPECT_TRUE(Saw("Download Failed"));
  EXPECT_FALSE(Saw("Running Installer"));
  EXPECT_FALSE(twitest::PathExists(twi::AppFolder() + "\\gone.exe"));
}

}  // namespace
