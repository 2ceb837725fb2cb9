// "Install" on the scan's result rows, end to end under Wine: packages from the
// fixture server (or the Local folder), unpacked by the zip class, copied into
// the system folder and registered with the real regsvr32; the scan that
// follows shows the rows' new state. Runs as Windows 7, in a prefix of its own.
#include <chrono>

#include "support/InstallerFixture.h"
#include "base/cSharedOSInfo.h"
#include "install/CopyToSysFolder.h"
#include "install/DownloadFile.h"
#include "install/RuntimeInstaller.h"
#include "install/RuntimeScan.h"
#include "net/ServerAddresses.h"
#include "settings/cSHAREDSettings.h"

namespace {

using twi::RuntimeScan;
using twi::install::RuntimeInstaller;

// The programs that ran, as the stand-in installers journal them ("run <file> <arguments>").
std::vector<std::string> RunLines(const twitest::Journal& journal) {
  std::vector<std::string> runs;
  for (std::string line : journal.Lines()) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("run ", 0) == 0) runs.push_back(line);
  }
  return runs;
}

// The must-show road: a fresh prefix, qNovel4's four rows fail; row 0 installs
// without the network, every other row downloads, unpacks, copies, registers. As
// Windows 7 on 64-bit Windows, and as 32-bit Windows XP (whose rich text package is
// its own).
TEST_F(InstallerTest, QNovel4GoesFromFailToOkOneRowAtATime) {
  const std::string os = twi::TheOSInfo().fOSName();
  ASSERT_TRUE(os == "WINNT6+" || os == "WinXP") << os;
  const std::string richTextFolder = os == "WinXP" ? "WINXP" : "WINOTHER";
  Select("qNovel4");
  ClickScan();
  for (int row = 0; row < 4; ++row) ASSERT_TRUE(Failed(row)) << row;
  EXPECT_FALSE(window.Scan.InetOK());

  // Row 0 copies the delivered control: no transfer, no download client.
  twi::TheSettings().sSet("MainServer", "http://127.0.0.1:9/");  // nobody listens there
  ClickInstall(0);
  EXPECT_FALSE(Logged("Trying to download "));
  EXPECT_FALSE(window.cInternet);
  EXPECT_TRUE(log.Contains(ProgramFile("Msinet.oc_") + " copied to " + twitest::SystemFolder()));
  EXPECT_TRUE(twitest::PathExists(twitest::SystemFolder() + "msinet.ocx"));
  EXPECT_TRUE(Passed(0));
  EXPECT_TRUE(window.Scan.InetOK());
  twitest::PublishMakersServers();

  const std::vector<std::pair<int, std::string>> rows = {
      {1, "main/runtimes/MSCOMCT2.zip"},
      {2, "main/runtimes/MSCOMCTL.zip"},
      {3, "main/runtimes/" + richTextFolder + "/RICHED.zip"},
  };
  for (const auto& [row, package] : rows) {
    ClickInstall(row);
    EXPECT_TRUE(log.Contains("Trying to download " + twitest::ServedUrl(package))) << package;
    EXPECT_TRUE(Passed(row)) << row;
  }
  for (int row = 0; row < 4; ++row) EXPECT_TRUE(Passed(row)) << row;
  EXPECT_EQ(window.Status(), RuntimeScan::kAllPassed);
  EXPECT_TRUE(twitest::PathExists(ProgramFile(richTextFolder + ".txt")));  // the package for this Windows
  EXPECT_FALSE(window.RebootNeeded);
  EXPECT_TRUE(Prompts().empty());
  // Registration runs hidden: the next step comes two seconds after the copy.
  EXPECT_TRUE(Logged("Unpacked MSCOMCT2.zip to " + twi::AppFolder() + "\\"));
  ShowLogged({"Trying to download ", "Using ", "Unpacked ", twi::AppFolder() + "\\Ms",
              RuntimeScan::kAllPassed});
}

// Every other row of the component table, each from its own program's scan.
TEST_F(InstallerTest, EveryOtherComponentInstallsFromItsServer) {
  twitest::Journal journal;
  struct Row {
    const char* program;
    int row;
    const char* key;
    std::vector<std::string> downloads;
  };
  const Row table[] = {
      {"qPost", 2, "MSWINSCK", {"main/runtimes/MSWINSCK.zip"}},
      {"TickPlot", 2, "MSFLXGRD", {"main/runtimes/MSFLXGRD.zip"}},
      {"qVoice", 3, "SPEECH1", {"second/runtimes/SPCHAPI.EXE", "second/runtimes/msttsl.EXE"}},
      {"qVoice2", 3, "SPEECH2", {"second/runtimes/Sapi51.zip"}},
  };
  twitest::Registered inet("msinet.ocx"), comctl("MsComCtl.ocx"), rich("Richtx32.ocx");
  for (const Row& r : table) {
    Select(r.program);
    ClickScan();
    ASSERT_TRUE(window.cmdInstall.Exists(r.row)) << r.key;
    ASSERT_EQ(window.cmdInstall[r.row].Tag, r.key);
    ASSERT_TRUE(Failed(r.row)) << r.key;
    ClickInstall(r.row);
    for (const std::string& download : r.downloads)
      EXPECT_TRUE(log.Contains("Trying to download " + twitest::ServedUrl(download))) << download;
    EXPECT_TRUE(Passed(r.row)) << r.key;
    EXPECT_EQ(window.Status(), RuntimeScan::kAllPassed) << r.key;
  }
  // The speech installers ran quietly; Sapi5's setup from the folder it was unpacked to.
  EXPECT_EQ(RunLines(journal), (std::vector<std::string>{"run spchapi.EXE /Q", "run msttsL.EXE /Q",
                                                         "run setup.EXE"}))
      << LogDump();
  EXPECT_TRUE(log.Contains("Installing Text-to-Speech Languages"));
  EXPECT_TRUE(twitest::PathExists(ProgramFile("Sapi5\\setup.EXE")));
  // The two that no program needs: installed, then their test windows pass.
  for (const char* key : {"COMDLG32", "TABCTL32"}) {
    EXPECT_TRUE(window.Installer.InstallComponent(key)) << key;
    EXPECT_TRUE(window.Scan.TestComponent(key)) << key;
  }
  EXPECT_FALSE(window.Installer.InstallComponent("NOSUCHKEY"));
  EXPECT_TRUE(Prompts().empty());
}

// Ready copies in Local are used without downloading them, and unpacked from the
// program folder; with no server at all the signed list of packages cannot be had,
// so the copies are used as they are.
TEST_F(InstallerTest, LocalCopiesAreUsedWithoutATransfer) {
  twitest::Registered inet("msinet.ocx"), comctl("MsComCtl.ocx");
  std::string local = ProgramFile("Local");
  CreateDirectoryW(twi::ToWide(local).c_str(), nullptr);
  CreateDirectoryW(twi::ToWide(local + "\\WINOTHER").c_str(), nullptr);
  CopyFileW(twi::ToWide(twitest::ServedFile("main/runtimes/MSWINSCK.zip")).c_str(),
            twi::ToWide(local + "\\MSWINSCK.zip").c_str(), FALSE);
  CopyFileW(twi::ToWide(twitest::ServedFile("main/runtimes/WINOTHER/RICHED.zip")).c_str(),
            twi::ToWide(local + "\\WINOTHER\\RICHED.zip").c_str(), FALSE);
  twi::TheSettings().sSet("MainServer", "http://127.0.0.1:9/");  // no server at all
  Select("qPost");
  ClickScan();
  ClickInstall(2);
  ClickInstall(3);
  EXPECT_TRUE(log.Contains("Using " + local + "\\MSWINSCK.zip"));
  EXPECT_TRUE(log.Contains("Using " + local + "\\WINOTHER/RICHED.zip"));
  EXPECT_FALSE(Logged("Trying to download "));
  EXPECT_TRUE(twitest::PathExists(local + "\\MSWINSCK.zip"));
  EXPECT_TRUE(twitest::PathExists(local + "\\WINOTHER\\RICHED.zip"));
  for (int row = 0; row < 4; ++row) EXPECT_TRUE(Passed(row)) << row;
  EXPECT_TRUE(Prompts().empty());
  ShowLogged({"Using ", "Trying to download "});
}

// The server's HTML page for a missing package: erased, the server-error box,
// then the unzip step reports its own failure, and nothing is copied after it;
// the row stays failed.
TEST_F(InstallerTest, AMissingPackageShowsTheServerErrorAndLeavesNoFile) {
  twitest::Registered inet("msinet.ocx"), comctl("MsComCtl.ocx");
  DeleteFileW(twi::ToWide(twitest::ServedFile("main/runtimes/MSFLXGRD.zip")).c_str());
  Select("TickPlot");
  ClickScan();
  ClickInstall(2);
  std::vector<std::string> prompts = Prompts();
  ASSERT_EQ(prompts.size(), 2u);
  EXPECT_EQ(prompts[0], twi::install::kNotOnServer + twi::MakerWebSite());
  EXPECT_NE(prompts[1].find("cannot find or open"), std::string::npos) << prompts[1];
  EXPECT_TRUE(log.Contains("MSFLXGRD.zip could not be unpacked, so nothing of it was installed."));
  EXPECT_TRUE(log.Contains(twi::install::kDownloadFailed));
  EXPECT_TRUE(Failed(2));
  EXPECT_TRUE(sandbox.NewInProgramFolder().size() == 1u);  // Msinet.oc_ alone
  EXPECT_TRUE(sandbox.NewInSystemFolder().empty());
}

// A "package" that is a program is run (and waited for) instead of unpacked.
TEST_F(InstallerTest, APackageThatIsAProgramIsRun) {
  twitest::Journal journal;
  twitest::Registered inet("msinet.ocx"), comctl("MsComCtl.ocx");
  CopyFileW(twi::ToWide(twitest::ServedFile("second/runtimes/msttsl.EXE")).c_str(),
            twi::ToWide(twitest::ServedFile("main/runtimes/MSCOMCT2.zip")).c_str(), FALSE);
  Select("Tracer2");
  ClickScan();
  ClickInstall(1);
  EXPECT_EQ(RunLines(journal), (std::vector<std::string>{"run msttsL.EXE"}));
  EXPECT_EQ(Prompts(), (std::vector<std::string>{ProgramFile("MsComCt2.ocx") +
                                                 " not found. Cannot install it."}));
  EXPECT_TRUE(Failed(1));
}

// A transfer that leaves no file ends the sequence: its error on the status
// line, the window idle, no new scan.
TEST_F(InstallerTest, ATransferErrorEndsTheSequenceWithoutAScan) {
  twitest::Registered inet("msinet.ocx");
  twi::TheSettings().sSet("MainServer", "http://127.0.0.1:9/");
  Select("qPost");
  ClickScan();
  size_t before = log.Texts().size();
  ClickInstall(2);
  std::vector<std::string> texts = log.Texts();
  std::vector<std::string> after(texts.begin() + static_cast<long>(before), texts.end());
  EXPECT_EQ(window.Status().rfind("Error while downloading: ", 0), 0u) << window.Status();
  EXPECT_TRUE(std::any_of(after.begin(), after.end(), [](const std::string& t) {
    return t.rfind("DownloadFile: http://127.0.0.1:9/runtimes/MSWINSCK.zip - ", 0) == 0;
  }));
  EXPECT_TRUE(std::find(after.begin(), after.end(), "Scanning") == after.end());
  EXPECT_TRUE(window.cmdScan.Enabled());
  EXPECT_FALSE(window.cmdStop.Visible());
  EXPECT_TRUE(Failed(2));
}

TEST_F(InstallerTest, OtherRowsWaitForTheInternetControl) {
  Select("qNovel4");
  ClickScan();
  ClickInstall(2);
  EXPECT_EQ(Prompts(), (std::vector<std::string>{RuntimeInstaller::kInternetControlFirst}));
  EXPECT_FALSE(Logged("Trying to download "));
  EXPECT_TRUE(window.cmdScan.Enabled());
  EXPECT_TRUE(Failed(2));
}

// A target in use without the reboot fallback: shown as failed with the file and
// the reason, nothing registered, no two-second wait.
TEST_F(InstallerTest, ACopyThatFailsIsShownAsFailedAndNotRegistered) {
  std::string target = twitest::SystemFolder() + "MSWinSck.ocx";
  CopyFileW(twi::ToWide(twitest::StandInPath("ComDlg32.ocx")).c_str(), twi::ToWide(target).c_str(),
            FALSE);
  std::string source = ProgramFile("MSWinSck.ocx");
  CopyFileW(twi::ToWide(twitest::StandInPath("MSWinSck.ocx")).c_str(), twi::ToWide(source).c_str(),
            FALSE);
  twitest::HeldOpen held(target);
  ASSERT_TRUE(held.Holding());
  auto start = std::chrono::steady_clock::now();
  twi::install::CopyToSysFolder(window, source, "MSWinSck.ocx", false);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(window.Status(), source + " could not be copied to " + twitest::SystemFolder() +
                                 ": the file there is in use (70)");
  EXPECT_TRUE(log.Contains(window.Status()));
  EXPECT_FALSE(Logged(source + " copied to "));
  EXPECT_LT(seconds, 1.5);
  held.Release();
  EXPECT_EQ(twitest::ReadFileBytes(target), twitest::ReadFileBytes(twitest::StandInPath("ComDlg32.ocx")));
  EXPECT_FALSE(window.RebootNeeded);
}

}  // namespace
