// The real TWInstall.exe run from its command line in a program folder of its own,
// against the maker's servers on the fixture HTTP server: exit codes read on the
// Windows side, the system folder and registrations afterwards, the log's lines,
// and, watched from outside, no window of its process in a /quiet run.
#include <gtest/gtest.h>

#include <chrono>

#include "base/Clock.h"
#include "base/TextConv.h"
#include "support/CommandRuns.h"
#include "support/InstallerSupport.h"
#include "support/OtherPrograms.h"
#include "support/ProgramInstallers.h"
#include "support/StandIns.h"
#include "support/TestServers.h"

namespace {

using namespace std::chrono_literals;
using twitest::CommandResult;

constexpr const char* kDeadServer = "http://127.0.0.1:9/";  // nobody listens there

class CommandRun : public ::testing::Test {
 protected:
  void SetUp() override { twitest::PublishMakersServers(); }

  CommandResult Run(const std::string& arguments, std::chrono::milliseconds timeout = 180s) {
    CommandResult result = twitest::RunCommand(folder.Exe(), arguments, timeout);
    EXPECT_TRUE(result.started) << arguments;
    EXPECT_TRUE(result.ended) << arguments << "\n" << result.output;
    return result;
  }
  // A quiet run's result: the exit code, and no window ever seen.
  void ExpectQuietRun(const CommandResult& result, DWORD code) {
    EXPECT_EQ(result.exitCode, code) << result.output << "\nlog:\n" << folder.Log();
    EXPECT_TRUE(result.windowsSeen.empty()) << twitest::Dump(result.windowsSeen);
  }
  void ExpectCommandLineLogged(const std::string& arguments) {
    std::vector<std::string> texts = folder.LogTexts();
    auto startup = std::find(texts.begin(), texts.end(), "Program startup");
    ASSERT_NE(startup, texts.end()) << folder.Log();
    ASSERT_NE(startup + 1, texts.end());
    EXPECT_EQ(*(startup + 1), "Command line: " + arguments);
  }
  // The settings file as saved (the store writes the names upper-cased).
  std::string Settings() const { return twitest::ReadFileBytes(folder.File("TWInstaller.ini")); }
  void WriteSettings(const std::string& mainServer) {
    twitest::WriteFileBytes(folder.File("TWInstaller.ini"),
                            "MainServer," + mainServer + "\r\nSecondaryServer," +
                                twitest::ServedUrl("second/") + "\r\n");
  }
  void ServeVersionFile(const std::string& name, const std::string& text) {
    CreateDirectoryW(twi::ToWide(twitest::ServedFile("main\\versions")).c_str(), nullptr);
    twitest::WriteFileBytes(twitest::ServedFile("main\\versions\\" + name), text);
  }

  twitest::InstallSandbox sandbox;  // undoes the system folder and registrations
  twitest::ProgramFolder folder;
};

// Each bad line: exit 87 with the reason and the usage on the console, no window,
// and nothing written to the folder. /? shows the usage and exits 0.
TEST_F(CommandRun, BadCommandLinesExit87WithTheUsage) {
  const std::string tooLong(10000, 'q');
  const std::pair<std::string, std::string> cases[] = {
      {"/frobnicate /quiet", "/FROBNICATE is not a switch of this program."},
      {"/scan /quiet", "/SCAN needs a value after it."},
      {"/scan \"No Such Program\" /quiet", "\"No Such Program\" is not a program of the list."},
      {"/scan \"q\\\"Voice2\" /quiet", "\"q\"Voice2\" is not a program of the list."},
      {"/scan \"" + tooLong + "\" /quiet", "An argument is longer than the longest one read."},
      {"/scan qVoice2 /scan qVoice2 /quiet", "/SCAN is given more than once."},
      {"/update /server not-an-address /quiet", "\"not-an-address\" is not a server address."},
      {"/update /server http://127.0.0.1:99999/ /quiet",
       "\"http://127.0.0.1:99999/\" is not a server address."},
      {"/quiet", "No command: give /scan, /install or /update."},
  };
  for (const auto& [arguments, why] : cases) {
    CommandResult result = Run(arguments, 60s);
    ExpectQuietRun(result, 87);
    EXPECT_NE(result.output.find(why + "\r\n"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("Exit codes:"), std::string::npos) << why;
  }
  CommandResult usage = Run("/? /quiet", 60s);
  ExpectQuietRun(usage, 0);
  EXPECT_EQ(usage.output.rfind("TWInstall.exe /scan", 0), 0u) << usage.output;
  EXPECT_FALSE(twitest::PathExists(folder.File("log.txt")));
}

// Without /quiet the usage is a message box, which waits for its OK.
TEST_F(CommandRun, WithoutQuietTheUsageIsAMessageBox) {
  twitest::StartedCommand command = twitest::StartCommand(folder.Exe(), "/frobnicate");
  HWND box = twitest::WaitForWindowOf(folder.Exe(), "Tarnwick Software Install Center", 30s, "#32770");
  ASSERT_NE(box, nullptr);
  std::string text;
  for (const std::string& t : twitest::ChildTexts(box)) text += t + "\n";
  EXPECT_NE(text.find("/FROBNICATE is not a switch of this program."), std::string::npos) << text;
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  CommandResult result = twitest::FinishCommand(command, 30s);
  EXPECT_TRUE(result.ended);
  EXPECT_EQ(result.exitCode, 87u);
}

// A fresh computer has none of qVoice2's runtimes: the scan says so and exits 1.
TEST_F(CommandRun, ScanOfAFreshComputerExits1) {
  CommandResult result = Run("/scan \"QVOICE2\" /quiet");
  ExpectQuietRun(result, 1);
  ExpectCommandLineLogged("/scan \"QVOICE2\" /quiet");
  EXPECT_TRUE(folder.Logged("Beginning scan"));
  EXPECT_TRUE(folder.Logged("Exit code: 1 (a runtime fails)"));
  EXPECT_NE(result.output.find(": Fail\r\n"), std::string::npos) << result.output;
  EXPECT_TRUE(twitest::PathExists(folder.File("Runtimes")));
  // The settings were read and saved as at a normal start and exit.
  EXPECT_NE(Settings().find("SECONDARYSERVER,"), std::string::npos) << Settings();
}

// qNovel4's runtimes and the program itself from a mirror named for this run only:
// the settings keep their own MainServer; a scan afterwards passes every control.
TEST_F(CommandRun, InstallWithProgramFromAMirrorThenScanPasses) {
  WriteSettings(kDeadServer);
  ServeVersionFile("QNV4_current.txt", "2.0.0\r\n" + twitest::ServedUrl("main/qn4setup.exe"));
  twitest::MakeStandInInstaller(twitest::ServedFile("main\\qn4setup.exe"), "qNovel4", "2.0.0");
  DeleteFileW(twi::ToWide(twitest::InstalledVersionFile("qNovel4")).c_str());
  const std::string arguments =
      "/install \"qnovel4\" /program /quiet /server " + twitest::ServedUrl("main/");
  CommandResult result = Run(arguments, 300s);
  ExpectQuietRun(result, 0);
  ExpectCommandLineLogged(arguments);
  std::string system = twitest::SystemFolder();
  for (const char* file : {"msinet.ocx", "MsComCt2.ocx", "MsComCtl.ocx", "Richtx32.ocx"})
    EXPECT_TRUE(twitest::PathExists(system + file)) << file;
  EXPECT_TRUE(twitest::ClassesRootHas("MSComCtl2.DTPicker"));
  EXPECT_EQ(twitest::ReadFileBytes(twitest::InstalledVersionFile("qNovel4")), "2.0.0\r\n");
  EXPECT_TRUE(folder.Logged("Message: If you are using qNovel4 please close it before proceeding"));
  EXPECT_TRUE(folder.Logged("Installer Ended"));
  EXPECT_TRUE(folder.Logged("Exit code: 0 (done)"));
  std::string settings = Settings();
  EXPECT_NE(settings.find(std::string("MAINSERVER,") + kDeadServer), std::string::npos) << settings;
  EXPECT_EQ(settings.find(twitest::ServedUrl("main/")), std::string::npos) << settings;

  CommandResult scan = Run("/scan qNovel4 /quiet");
  ExpectQuietRun(scan, 0);
  EXPECT_TRUE(folder.Logged("Passed all tests. The selected program should run perfectly."));
}

// The rich-text files held open by a running program: their replacement waits for
// the next start of Windows, and the run says so with 3010.
TEST_F(CommandRun, AControlInUseExits3010) {
  std::vector<std::unique_ptr<twitest::HeldOpen>> held;
  for (const char* name : {"Riched32.dll", "Richtx32.ocx"}) {
    std::string target = twitest::SystemFolder() + name;
    CopyFileW(twi::ToWide(twitest::StandInPath("TabCtl32.ocx")).c_str(), twi::ToWide(target).c_str(),
              FALSE);
    held.push_back(std::make_unique<twitest::HeldOpen>(target));
    ASSERT_TRUE(held.back()->Holding()) << name;
  }
  CommandResult result = Run("/install qPage /quiet", 300s);
  ExpectQuietRun(result, 3010);
  EXPECT_TRUE(folder.Logged("Message: Don't forget to reboot your computer before using the "
                            "programs you have installed."));
  EXPECT_TRUE(folder.Logged("Exit code: 3010 (done; restart Windows to finish)"));
  EXPECT_TRUE(twitest::PathExists(twitest::SystemFolder() + "MsComCtl.ocx"));
  for (auto& holder : held) holder->Release();
}

// A control copied into the system folder but never registered (a run ended between
// the copy and the registration) is not working, and the scan says so; a run ended
// from outside in its download leaves the next run to finish the work.
TEST_F(CommandRun, ARunEndedFromOutsideIsNotReportedAsInstalled) {
  CopyFileW(twi::ToWide(twitest::StandInPath("msinet.ocx")).c_str(),
            twi::ToWide(twitest::SystemFolder() + "msinet.ocx").c_str(), FALSE);
  CopyFileW(twi::ToWide(twitest::StandInPath("MsComCt2.ocx")).c_str(),
            twi::ToWide(twitest::SystemFolder() + "MsComCt2.ocx").c_str(), FALSE);
  CommandResult copiedOnly = Run("/scan Tracer2 /quiet");
  ExpectQuietRun(copiedOnly, 1);
  EXPECT_TRUE(folder.Logged("Exit code: 1 (a runtime fails)"));

  // The packages come slowly (1 KB a second): the run is ended in its first download.
  const std::string slowServer = twitest::HttpUrl("/paced/400000/1024/1/");
  twitest::StartedCommand command =
      twitest::StartCommand(folder.Exe(), "/install Tracer2 /quiet /server " + slowServer);
  ASSERT_TRUE(twitest::PumpUntil(
      [&] {
        for (const std::string& t : folder.LogTexts())
          if (t.rfind("Trying to download ", 0) == 0) return true;
        return false;
      },
      60s))
      << folder.Log();
  ASSERT_TRUE(twitest::KillProcess(command.pid));
  CommandResult afterKill = Run("/scan Tracer2 /quiet");
  ExpectQuietRun(afterKill, 1);
  EXPECT_NE(afterKill.output.find("Fail"), std::string::npos) << afterKill.output;
  CommandResult finish = Run("/install Tracer2 /quiet", 300s);
  ExpectQuietRun(finish, 0);
}

// A window open in the folder holds it: a run waits for it as long as /wait says, then
// refuses with 1618 and leaves the window's log; once the window is closed it runs.
TEST_F(CommandRun, ASecondRunWaitsOrRefusesWith1618) {
  {
    twitest::StartedProgram window(folder.Exe(), "", folder.Path());
    ASSERT_NE(twitest::WaitForWindowOf(folder.Exe(), "Tarnwick Software Install Center", 30s,
                                       "TWInstallForm"),
              nullptr);
    const double start = twi::ClockSeconds();
    CommandResult refused = Run("/scan qNovel4 /quiet /wait 2", 60s);
    ExpectQuietRun(refused, 1618);
    EXPECT_GE(twi::ClockSeconds() - start, 1.9);
    EXPECT_NE(refused.output.find("nothing was done"), std::string::npos) << refused.output;
    EXPECT_FALSE(folder.Logged("Command line: /scan qNovel4 /quiet /wait 2"));
    ASSERT_TRUE(window.Kill());
  }
  // Two command runs: the second waits for the first, and its scan then sees the
  // first one's installs.
  twitest::StartedCommand first = twitest::StartCommand(folder.Exe(), "/install Tracer2 /quiet");
  ASSERT_TRUE(twitest::PumpUntil(
      [&] { return folder.Logged("Command line: /install Tracer2 /quiet"); }, 60s));
  twitest::StartedCommand second = twitest::StartCommand(folder.Exe(), "/scan Tracer2 /quiet");
  CommandResult firstResult = twitest::FinishCommand(first, 300s);
  CommandResult secondResult = twitest::FinishCommand(second, 120s);
  EXPECT_EQ(firstResult.exitCode, 0u) << firstResult.output;
  EXPECT_EQ(secondResult.exitCode, 0u) << secondResult.output;
  EXPECT_TRUE(folder.Logged("Command line: /scan Tracer2 /quiet"));  // the last run's log
  EXPECT_NE(Settings().find("SECONDARYSERVER,"), std::string::npos) << Settings();
}

// No server, or one that stalls: the run fails with 1603; a stalled transfer ends
// after the 61 s without activity, not sooner and not never.
TEST_F(CommandRun, NoNetworkOrAStallingServerExits1603) {
  CommandResult noServer = Run(std::string("/install Tracer2 /quiet /server ") + kDeadServer);
  ExpectQuietRun(noServer, 1603);
  EXPECT_TRUE(twitest::PathExists(twitest::SystemFolder() + "msinet.ocx"));  // needs no network
  bool raised = false;
  for (const std::string& t : folder.LogTexts()) raised = raised || t.rfind("Error while downloading: ", 0) == 0;
  EXPECT_TRUE(raised) << folder.Log();

  CommandResult noUpdateServer = Run(std::string("/update /quiet /server ") + kDeadServer);
  ExpectQuietRun(noUpdateServer, 1603);

  const double start = twi::ClockSeconds();
  CommandResult stalled = Run("/update /quiet /server " + twitest::HttpUrl("/paced/1000/1/200/"), 150s);
  const double took = twi::ClockSeconds() - start;
  ExpectQuietRun(stalled, 1603);
  EXPECT_GE(took, 60.0);
  EXPECT_LT(took, 120.0);
}

// /update: up to date is 0; a newer install center is downloaded and handed to
// Updater.exe (0), or, with no Updater.exe beside it, the run fails with the reason.
TEST_F(CommandRun, UpdateIsUpToDateOrHandsOverTheNewerOne) {
  ServeVersionFile("TWI_current.txt", "1.2.99\r\n" + twitest::ServedUrl("main/TWInstUpd.exe"));
  CommandResult current = Run("/update /quiet");
  ExpectQuietRun(current, 0);
  EXPECT_TRUE(folder.Logged("The install center is up to date."));

  twitest::WriteFileBytes(twitest::ServedFile("main\\TWInstUpd.exe"),
                          twitest::ReadFileBytes(twitest::ProbeExe()));
  ServeVersionFile("TWI_current.txt", "1.3.0\r\n" + twitest::ServedUrl("main/TWInstUpd.exe"));
  CommandResult noUpdater = Run("/update /quiet");
  ExpectQuietRun(noUpdater, 1603);
  EXPECT_TRUE(folder.Logged("Message: The update program " + folder.File("Updater.exe") +
                            " could not be started, so the install center was not updated."));

  CopyFileW(twi::ToWide(twitest::BinDir() + "\\Updater.exe").c_str(),
            twi::ToWide(folder.File("Updater.exe")).c_str(), FALSE);
  CommandResult handedOver = Run("/update /quiet");
  ExpectQuietRun(handedOver, 0);
  EXPECT_EQ(twitest::ReadFileBytes(folder.File("updater.ini")), "TWInstUpd.exe");
  EXPECT_TRUE(folder.Logged("Exit code: 0 (done)"));
  // The update program goes on alone; it is ended here with what it started.
  std::vector<DWORD> started = twitest::ChildProcessesOf(handedOver.pid);
  EXPECT_FALSE(started.empty());
  for (DWORD pid : started) {
    twitest::KillProcess(pid);
    for (DWORD grandchild : twitest::ChildProcessesOf(pid)) twitest::KillProcess(grandchild);
  }
}

// Started from a console (a batch file in cmd.exe), the results go to that console
// and %ERRORLEVEL% holds the whole exit code.
TEST_F(CommandRun, FromABatchFileTheConsoleShowsTheResultAndErrorlevel) {
  twitest::WriteFileBytes(folder.File("run.bat"),
                          "@\"" + folder.Exe() + "\" /? /quiet\r\n@echo errorlevel=%ERRORLEVEL%\r\n"
                          "@\"" + folder.Exe() + "\" /scan qPage /quiet\r\n"
                          "@echo errorlevel=%ERRORLEVEL%\r\n");
  std::string output;
  // cmd.exe itself ends with the last ERRORLEVEL.
  EXPECT_EQ(twitest::RunAndCapture("cmd.exe /c \"" + folder.File("run.bat") + "\"", output), 1);
  EXPECT_NE(output.find("errorlevel=0"), std::string::npos) << output;
  EXPECT_NE(output.find("errorlevel=1"), std::string::npos) << output;
  EXPECT_NE(output.find("Exit codes:"), std::string::npos) << output;
  EXPECT_NE(output.find("Exit code: 1 (a runtime fails)"), std::string::npos) << output;
}

}  // namespace
