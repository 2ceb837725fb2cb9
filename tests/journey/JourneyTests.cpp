// The whole journey, driven from outside as a user drives it, against the demo
// maker's servers (nginx): start, pick a program, scan, install every runtime
// that failed, ask for the latest version, download and install the program,
// look at the proxy settings, and update the install center, which comes back
// as 1.3.0. Then what the user has on disk: the log's story, the settings
// file, the controls in the system folder, the installed program, updater.log.
// Beside it: a package fetched over FTP (vsftpd), and version files and a
// package fetched through a proxy that wants a password (tinyproxy).
//
// With TWI_JOURNEY_SHOTS set to a folder, each step saves a screenshot there
// (the demo walks this journey for its pictures).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <memory>
#include <vector>

#include "base/TextConv.h"
#include "diag/cSharedLogging.h"
#include "install/RuntimeScan.h"
#include "report/cSHAREDShowError.h"
#include "report/fSHAREDErrorRpt.h"
#include "support/MakerSigner.h"
#include "support/ModalForms.h"
#include "support/OtherPrograms.h"
#include "support/ProgramInstallers.h"
#include "support/TestServers.h"
#include "support/TestSupport.h"
#include "support/UserActions.h"

namespace {

using namespace std::chrono_literals;
using twitest::PressButton;
using twitest::Screenshot;
using twitest::ShowsText;
using twitest::WaitFor;

const std::string kTitle = "Tarnwick Software Install Center";
const std::string kProgram = "qVoice2";  // the Internet control, Common Controls, rich text, speech

int ServerPort(const std::string& portFile) {
  return std::atoi(twitest::ReadFileBytes(twitest::ServerFile(portFile)).c_str());
}

// A program folder as the install center is installed in (or, with
// TWI_JOURNEY_FOLDER set, the one the caller prepared: the demo's), and the
// program running in it.
class Journey : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* prepared = std::getenv("TWI_JOURNEY_FOLDER"); prepared && *prepared) {
      folder = Folder(prepared);
      return;
    }
    folder = Folder(scratch.Path());
    for (const char* program : {"TWInstall.exe", "Updater.exe"})
      Copy(twitest::BinDir() + "\\" + program, program);
    Copy(twitest::WindowsPathOf(TWI_FIXTURE_DIR) + "\\msinet.ocx", "Msinet.oc_");
    CreateDirectoryW(twi::ToWide(folder.File("Help")).c_str(), nullptr);
    Copy(twitest::BinDir() + "\\Help\\Index.htm", "Help\\Index.htm");
    twitest::WriteFileBytes(
        folder.File("TWInstaller.ini"),
        "MAINSERVER," + MainServer() + "\r\nSECONDARYSERVER,http://127.0.0.1:" +
            std::to_string(ServerPort("maker-secondary.port")) + "/\r\n");
  }
  void TearDown() override {
    if (main && IsWindow(main)) twitest::CloseAndWaitForExit(main, 20s);
  }
  static std::string MainServer() {
    return "http://127.0.0.1:" + std::to_string(ServerPort("maker.port")) + "/";
  }
  void Copy(const std::string& from, const std::string& name) {
    ASSERT_TRUE(CopyFileW(twi::ToWide(from).c_str(), twi::ToWide(folder.File(name)).c_str(), FALSE))
        << from;
  }
  std::string Exe() const { return folder.File("TWInstall.exe"); }
  std::string Log() const { return twitest::ReadFileBytes(folder.File("log.txt")); }

  // Starts the install center and waits for its main window, idle.
  void Start(const std::string& version = "1.2.99") {
    program = std::make_unique<twitest::StartedProgram>(Exe(), "", folder.Path());
    ASSERT_TRUE(program->Started());
    main = twitest::WaitForWindowOf(Exe(), kTitle, 60s);
    ASSERT_TRUE(main);
    ASSERT_TRUE(WaitFor([&] { return ShowsText(main, "V: " + version); }, 30s));
  }
  // Presses a button of the main window and waits until the log shows `text`
  // after the press (a status or an event), failing on a message box nobody expects.
  void PressAndWaitForLog(const std::string& button, const std::string& text,
                          std::chrono::seconds timeout = 120s) {
    size_t from = Log().size();
    ASSERT_TRUE(PressButton(main, button)) << button;
    WaitForLogAfter(from, text, timeout);
  }
  void WaitForLogAfter(size_t from, const std::string& text, std::chrono::seconds timeout) {
    std::string unexpected;
    bool seen = WaitFor(
        [&] {
          if (Log().find(text, from) != std::string::npos) return true;
          HWND box = twitest::WaitForWindowOf(Exe(), "", 0ms, "#32770");
          if (box) unexpected = twitest::TextContaining(box, "");
          return false;
        },
        timeout);
    ASSERT_TRUE(seen) << "\"" << text << "\" not logged; a message box shows \"" << unexpected
                      << "\"\n" << Log().substr(from);
  }
  // The visible "Install" buttons of the result rows, top row first.
  std::vector<HWND> InstallButtons() {
    std::vector<HWND> buttons;
    for (HWND child : twitest::Descendants(main))
      if (twitest::ClassOf(child) == "Button" && twitest::CaptionOf(child) == "Install" &&
          IsWindowVisible(child))
        buttons.push_back(child);
    std::sort(buttons.begin(), buttons.end(), [](HWND a, HWND b) {
      RECT ra, rb;
      GetWindowRect(a, &ra);
      GetWindowRect(b, &rb);
      return ra.top < rb.top;
    });
    return buttons;
  }
  // Installs each failed runtime, top row first; each install ends with a new
  // scan. The first download's progress on the status line is pictured.
  void InstallEveryFailedRuntime() {
    for (int installs = 0; !InstallButtons().empty(); ++installs) {
      ASSERT_LT(installs, 4) << "a runtime that would not install:\n" << Log();
      size_t from = Log().size();
      PostMessageW(InstallButtons().front(), BM_CLICK, 0, 0);
      if (installs == 1 &&
          WaitFor([&] { return !twitest::TextContaining(main, " kb").empty(); }, 20s))
        Screenshot("03-downloading-a-runtime");
      WaitForLogAfter(from, ", Beginning scan", 120s);
      ASSERT_TRUE(WaitFor([&] { return ScanIsOver(); }, 60s));
    }
  }
  bool ScanIsOver() {
    HWND scan = twitest::ChildWithText(main, "Button", "Scan Runtimes");
    return scan && IsWindowEnabled(scan) &&
           (ShowsText(main, twi::RuntimeScan::kAllPassed) ||
            ShowsText(main, twi::RuntimeScan::kSomeFailed));
  }
  // Answers the message box that shows `part` with `button`.
  void Answer(const std::string& part, const std::string& button, const std::string& shot = "") {
    HWND box = twitest::WaitForMessageBox(Exe(), part, 60s);
    ASSERT_TRUE(box) << "no message box with \"" << part << "\"";
    if (!shot.empty()) Screenshot(shot);
    ASSERT_TRUE(PressButton(box, button)) << button;
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }, 20s));
  }

  // A program folder's path and its files.
  struct Folder {
    std::string path;
    const std::string& Path() const { return path; }
    std::string File(const std::string& name) const { return path + "\\" + name; }
  };
  twitest::ScratchFolder scratch;
  Folder folder;
  std::unique_ptr<twitest::StartedProgram> program;
  HWND main = nullptr;
};

TEST_F(Journey, FromAFreshComputerToEveryRuntimeTheProgramAndTheUpdate) {
  Start();
  Screenshot("01-main-window");

  ASSERT_TRUE(twitest::ChooseListItem(main, kProgram));
  ASSERT_TRUE(WaitFor([&] { return ShowsText(main, "Reads text files aloud. Windows 98 or above."); },
                      10s));
  PressAndWaitForLog("Scan Runtimes", twi::RuntimeScan::kSomeFailed);
  ASSERT_EQ(InstallButtons().size(), 4u);  // nothing is installed on a fresh computer
  Screenshot("02-scan-with-failures");

  InstallEveryFailedRuntime();
  ASSERT_TRUE(ShowsText(main, twi::RuntimeScan::kAllPassed));
  Screenshot("04-every-runtime-installed");

  ASSERT_TRUE(PressButton(main, "Determine latest version"));
  Answer("Latest version of qVoice2 is 2.1.3", "OK", "05-latest-version");

  const std::string installed = twitest::InstalledVersionFile("qVoice2");
  ASSERT_TRUE(PressButton(main, "Download and Install Program"));
  Answer("If you are using qVoice2 please close it before proceeding", "OK",
         "06-program-download");
  WaitForLogAfter(0, ", Installer Ended", 120s);
  EXPECT_EQ(twitest::ReadFileBytes(installed), "2.1.3\r\n");
  ASSERT_TRUE(WaitFor([&] { return ShowsText(main, twi::RuntimeScan::kAllPassed); }, 60s));
  Screenshot("07-program-installed");

  ASSERT_TRUE(PressButton(main, "Proxy Settings"));
  HWND proxy = twitest::WaitForWindowOf(Exe(), "Proxy Setup", 20s);
  ASSERT_TRUE(proxy);
  Screenshot("08-proxy-settings");
  ASSERT_TRUE(PressButton(proxy, "Cancel"));
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(proxy); }, 20s));

  ASSERT_TRUE(PressButton(main, "Update Install Center"));
  HWND updater = twitest::WaitForWindowOf(Exe(), kTitle + " Updater", 30s);
  ASSERT_TRUE(updater);
  ASSERT_TRUE(WaitFor([&] { return ShowsText(updater, "Version 1.3.0 is available!"); }, 30s));
  Screenshot("09-updater-window");
  const std::string story = Log();  // the next start begins a fresh log
  ASSERT_TRUE(PressButton(updater, "Download and Install"));
  if (WaitFor([&] { return !twitest::WaitForMessageBox(Exe(), "install it now", 0ms); }, 0ms))
    Screenshot("10-updater-downloading");
  Answer("The update has been downloaded. Do you want to install it now?", "&Yes");
  DWORD code = 99;
  ASSERT_TRUE(program->WaitForExit(60s, code));

  // Updater.exe replaced the install center and started it again.
  main = nullptr;
  ASSERT_TRUE(WaitFor(
      [&] {
        HWND window = twitest::WaitForWindowOf(Exe(), kTitle, 0ms);
        if (window && ShowsText(window, "V: 1.3.0")) main = window;
        return main != nullptr;
      },
      90s))
      << twitest::ReadFileBytes(folder.File("updater.log"));
  Screenshot("11-updated-to-1.3.0");
  ASSERT_TRUE(PressButton(main, "Exit"));
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(main); }, 30s));
  main = nullptr;

  // TWI_JOURNEY_LOGS names a folder that keeps both logs, to compare two builds' runs.
  if (const char* keep = std::getenv("TWI_JOURNEY_LOGS"); keep && *keep) {
    twitest::WriteFileBytes(std::string(keep) + "\\story.txt", story);
    twitest::WriteFileBytes(std::string(keep) + "\\after-update.txt", Log());
    twitest::WriteFileBytes(std::string(keep) + "\\updater.txt",
                            twitest::ReadFileBytes(folder.File("updater.log")));
  }
  // The log of the journey tells it in order, and has no error of its own.
  const char* chapters[] = {", Program startup",
                            ", Beginning scan",
                            twi::RuntimeScan::kSomeFailed,
                            "Msinet.oc_ copied to ",
                            "Trying to download " ,
                            twi::RuntimeScan::kAllPassed,
                            ", Retrieving download info",
                            ", Running Installer",
                            ", Installer Ended"};
  size_t at = 0;
  for (const char* chapter : chapters) {
    size_t found = story.find(chapter, at);
    ASSERT_NE(found, std::string::npos) << chapter << "\n" << story;
    at = found;
  }
  // The scan's failures on a fresh computer are the journey's own; a trapped
  // error ("... in <routine> of module <module>") or a failed download is not.
  for (const char* error : {" of module ", "Download Failed", "Error while downloading",
                            "didn't download properly"})
    EXPECT_EQ(story.find(error), std::string::npos) << error << "\n" << story;

  // The maker's site is signed: each package and installer was verified before use
  // (the three runtime packages and qVoice2's installer), none went unverified.
  size_t verified = 0;
  for (size_t at = story.find(": verified (SHA-256 "); at != std::string::npos;
       at = story.find(": verified (SHA-256 ", at + 1))
    ++verified;
  EXPECT_EQ(verified, 4u) << story;
  for (const char* unverified : {"not verified", ": refused: "})
    EXPECT_EQ(story.find(unverified), std::string::npos) << unverified << "\n" << story;

  // What is left on disk.
  for (const char* control : {"msinet.ocx", "MsComCtl.ocx", "Richtx32.ocx", "Riched32.dll"})
    EXPECT_TRUE(twitest::PathExists(std::string("C:\\windows\\system32\\") + control)) << control;
  EXPECT_FALSE(twitest::PathExists(folder.File("updater.ini")));
  EXPECT_FALSE(twitest::PathExists("C:\\windows\\wininit.ini"));  // nothing was in use
  std::string updaterLog = twitest::ReadFileBytes(folder.File("updater.log"));
  EXPECT_NE(updaterLog.find("Update installed"), std::string::npos) << updaterLog;
  std::string settings = twitest::ReadFileBytes(folder.File("TWInstaller.ini"));
  for (const char* key : {"MAINSERVER,", "SECONDARYSERVER,", "LASTUPDATECHECK,",
                          "DISABLEAUTOUPDATECHECK,-1 \r\n", "SIGNEDSERVERS,"})
    EXPECT_NE(settings.find(key), std::string::npos) << key << "\n" << settings;
}

// The error report window as a user of this program folder meets it (a settings file
// error): the error names the folder's settings file, the log frame shows the install
// center's own log of the folder under its path, the comments are open. (The window is
// the error display's own, shown here for the folder's files: no settings line the
// install center writes fails to load.)
TEST_F(Journey, TheErrorReportShowsTheProgramFoldersSettingsAndLog) {
  const std::string logFile = folder.File("log.txt");
  if (!twitest::PathExists(logFile)) {  // a fresh folder: the install center runs once
    Start();
    twitest::CloseAndWaitForExit(main, 20s);
    main = nullptr;
  }
  const std::string log = twitest::ReadFileBytes(logFile);
  ASSERT_NE(log.find("Log file created"), std::string::npos) << log;
  const std::string ownLog = twi::TheLog().CurrentLogFilename();
  twi::TheLog().SetLogFilename(logFile);
  bool seen = false;
  twitest::WhenShown<twi::fSHAREDErrorRpt> act([&](twi::fSHAREDErrorRpt& shown) {
    seen = true;
    EXPECT_EQ(shown.Frame2.Caption(), logFile);
    EXPECT_EQ(shown.txtLog.Text(), twi::AnsiToUtf8(log));
    shown.cmdViewLog.Click();
    shown.cmdShowComments.Click();
    for (wchar_t c : twi::ToWide("It happened when I started the program."))
      SendMessageW(shown.txtUserMessage.hwnd(), WM_CHAR, c, 0);
    twitest::PumpFor(300ms);
    Screenshot("12-error-report");
    shown.cmdExit.Click();
  });
  twi::TheShowError().ShowErr("Error 13 in setting file. Line: LASTUPDATECHECK,12/Foo/2026 of " +
                              folder.File("TWInstaller.ini"));
  twi::TheLog().SetLogFilename(ownLog);
  EXPECT_TRUE(seen);
}

TEST_F(Journey, AnFtpPackageAddressIsFetchedAndRun) {
  std::string pub = twitest::FtpRoot() + "\\pub";
  CreateDirectoryW(twi::ToWide(pub).c_str(), nullptr);
  std::string installer =
      twitest::ReadFileBytes(twitest::WindowsPathOf(TWI_FIXTURE_DIR) + "\\programs\\StandInInstaller.exe");
  twitest::WriteFileBytes(pub + "\\qtune-ftp.exe",
                          installer + "\r\nTWI-STANDIN-INSTALLER program=qTune over FTP;"
                                      "version=1.0.9;exit=0;seconds=0\r\n");
  // The maker's site names an FTP address for qTune, signed with the installer's hash.
  twitest::MakerSigner::TestKey().WriteVersionFile(
      twitest::ServerFile("maker\\main\\versions\\QTUNE_current.txt"), "1.0.9",
      "ftp://" + twitest::FtpHostAndPort() + "/pub/qtune-ftp.exe", pub + "\\qtune-ftp.exe");
  Start();
  ASSERT_TRUE(twitest::ChooseListItem(main, "qTune"));
  // The Internet control is tried before any program download: have it.
  PressAndWaitForLog("Scan Runtimes", ", Beginning scan");
  ASSERT_TRUE(WaitFor([&] { return ScanIsOver(); }, 60s));
  InstallEveryFailedRuntime();
  ASSERT_TRUE(PressButton(main, "Download and Install Program"));
  Answer("If you are using qTune please close it before proceeding", "OK");
  WaitForLogAfter(0, ", Installer Ended", 120s);
  EXPECT_EQ(twitest::ReadFileBytes(twitest::InstalledVersionFile("qTune over FTP")), "1.0.9\r\n");
  EXPECT_TRUE(twitest::PathExists(folder.File("qtune-ftp.exe")));
}

// The maker's files changed on the way, after they were signed: qPost's Winsock package
// and the install center's update package. Both are refused with a sentence saying so;
// the Winsock control never reaches the system folder, the update never reaches
// Updater.exe, and the install center stays 1.2.99 and runs on.
TEST_F(Journey, PackagesChangedAfterSigningAreRefused) {
  struct Changed {
    std::string path, bytes;
    explicit Changed(std::string file) : path(std::move(file)), bytes(twitest::ReadFileBytes(path)) {
      std::string changed = bytes;
      changed[changed.size() / 2] ^= 0x01;
      twitest::WriteFileBytes(path, changed);
    }
    ~Changed() { twitest::WriteFileBytes(path, bytes); }
  };
  Changed winsock(twitest::ServerFile("maker\\main\\runtimes\\MSWINSCK.zip"));
  Changed update(twitest::ServerFile("maker\\main\\packages\\TWInstUpd130.exe"));
  const std::string exeBefore = twitest::ReadFileBytes(Exe());
  Start();
  ASSERT_TRUE(twitest::ChooseListItem(main, "qPost"));
  PressAndWaitForLog("Scan Runtimes", ", Beginning scan");
  ASSERT_TRUE(WaitFor([&] { return ScanIsOver(); }, 60s));
  // Each failed row installed, top first; the Winsock row's refusal is answered.
  std::vector<HWND> refusedRows;
  for (int clicks = 0; clicks < 6; ++clicks) {
    HWND next = nullptr;
    for (HWND button : InstallButtons())
      if (std::find(refusedRows.begin(), refusedRows.end(), button) == refusedRows.end()) {
        next = button;
        break;
      }
    if (!next) break;
    const size_t from = Log().size();
    PostMessageW(next, BM_CLICK, 0, 0);
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] {
          box = twitest::WaitForMessageBox(Exe(), "is not the file the maker signed", 0ms);
          return box || Log().find(", Beginning scan", from) != std::string::npos;
        },
        120s))
        << Log().substr(from);
    if (box) {
      Screenshot("13-changed-package-refused");
      ASSERT_TRUE(PressButton(box, "OK"));
      ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }, 20s));
      refusedRows.push_back(next);
    }
    ASSERT_TRUE(WaitFor([&] { return ScanIsOver() || IsWindowEnabled(next); }, 60s));
  }
  EXPECT_EQ(refusedRows.size(), 1u);
  EXPECT_FALSE(twitest::PathExists("C:\\windows\\system32\\MSWinSck.ocx"));
  EXPECT_FALSE(twitest::PathExists(folder.File("MSWINSCK.zip")));
  EXPECT_NE(Log().find("MSWINSCK.zip: refused: SHA-256 expected "), std::string::npos) << Log();

  ASSERT_TRUE(PressButton(main, "Update Install Center"));
  HWND updater = twitest::WaitForWindowOf(Exe(), kTitle + " Updater", 30s);
  ASSERT_TRUE(updater);
  ASSERT_TRUE(WaitFor([&] { return ShowsText(updater, "Version 1.3.0 is available!"); }, 30s));
  const size_t from = Log().size();
  ASSERT_TRUE(PressButton(updater, "Download and Install"));
  WaitForLogAfter(from, "TWInstUpd.exe: refused: SHA-256 expected ", 120s);
  EXPECT_FALSE(twitest::WaitForMessageBox(Exe(), "install it now", 3s));
  EXPECT_FALSE(twitest::PathExists(folder.File("TWInstUpd.exe")));
  EXPECT_FALSE(twitest::PathExists(folder.File("updater.log")));  // Updater.exe never ran
  ASSERT_TRUE(PressButton(updater, "Exit"));
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(updater); }, 20s));
  EXPECT_TRUE(ShowsText(main, "V: 1.2.99"));
  EXPECT_EQ(twitest::ReadFileBytes(Exe()), exeBefore);
  ASSERT_TRUE(PressButton(main, "Exit"));
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(main); }, 30s));
  main = nullptr;
}

TEST_F(Journey, AManualProxyWithItsPasswordCarriesTheTransfers) {
  Start();
  ASSERT_TRUE(PressButton(main, "Proxy Settings"));
  HWND proxy = twitest::WaitForWindowOf(Exe(), "Proxy Setup", 20s);
  ASSERT_TRUE(proxy);
  ASSERT_TRUE(PressButton(proxy, "Manual Settings"));
  ASSERT_TRUE(WaitFor([&] { return ShowsText(proxy, "Server:"); }, 10s));
  Sleep(300);
  ASSERT_TRUE(twitest::TypeInto(proxy, 0, "127.0.0.1"));
  ASSERT_TRUE(twitest::TypeInto(proxy, 1, std::to_string(ServerPort("proxy.port"))));
  ASSERT_TRUE(twitest::TypeInto(proxy, 2, "twi"));
  ASSERT_TRUE(twitest::TypeInto(proxy, 3, "tw-pass.99_x"));
  ASSERT_TRUE(twitest::TypeInto(proxy, 4, "tw-pass.99_x"));
  ASSERT_TRUE(PressButton(proxy, "OK"));
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(proxy); }, 20s));

  ASSERT_TRUE(twitest::ChooseListItem(main, "qNovel4"));
  ASSERT_TRUE(PressButton(main, "Determine latest version"));
  Answer("Latest version of qNovel4 is 4.0.2", "OK");
  std::string proxyLog = twitest::ReadFileBytes(twitest::ServerFile("tinyproxy.log"));
  EXPECT_NE(proxyLog.find("/versions/QNV4_current.txt"), std::string::npos) << proxyLog;

  // The choice is kept: the settings file holds the scrambled password, not the
  // password itself.
  ASSERT_TRUE(PressButton(main, "Exit"));
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(main); }, 30s));
  main = nullptr;
  std::string settings = twitest::ReadFileBytes(folder.File("TWInstaller.ini"));
  EXPECT_NE(settings.find("PROXYTYPE, 2 \r\n"), std::string::npos) << settings;
  EXPECT_NE(settings.find("PROXYUSER,twi\r\n"), std::string::npos) << settings;
  EXPECT_NE(settings.find("PROXYPWD,"), std::string::npos) << settings;
  EXPECT_EQ(settings.find("tw-pass.99_x"), std::string::npos) << settings;
}

}  // namespace
