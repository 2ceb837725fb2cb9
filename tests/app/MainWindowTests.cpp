// The main window in-process: start-up, selection, hover help, busy and idle,
// the status line's log, and the ways the window can close.
#include <gtest/gtest.h>
#include <winsock2.h>

#include <chrono>
#include <system_error>

#include "app/frmMain.h"
#include "base/AppInfo.h"
#include "base/Clock.h"
#include "base/DoEvents.h"
#include "base/TextConv.h"
#include "diag/cSharedLogging.h"
#include "install/Catalogue.h"
#include "net/cSHAREDInternet.h"
#include "net/fSHAREDInternet.h"
#include "settings/cSHAREDSettings.h"
#include "support/LogCapture.h"
#include "support/MainWindowDriver.h"
#include "support/TestServers.h"
#include "support/TestSupport.h"
#include "ui/Forms.h"
#include "update/fSHAREDUpdater.h"

namespace {

using twi::frmMain;

std::string SettingsFile() { return twi::AppFolder() + "\\TWInstaller.ini"; }

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteFileW(twi::ToWide(SettingsFile()).c_str());
    twi::TheSettings().DeleteAllSettings();
  }
  void LoadWindow() {
    loadSeconds = twitest::StartMainWindow(window, [this] { ++processEnds; });
  }
  frmMain window;
  int processEnds = 0;
  double loadSeconds = 0;
};

TEST_F(MainWindow, StartUpFillsTheListAndShowsTheFirstProgram) {
  LoadWindow();
  EXPECT_EQ(window.Caption(), "Tarnwick Software Install Center");
  ASSERT_EQ(window.cmbPrograms.ListCount(), 16);
  int row = 0;
  for (const twi::ProgramEntry& entry : twi::Catalogue())
    EXPECT_EQ(window.cmbPrograms.List(row++), entry.ListText);
  EXPECT_EQ(window.cmbPrograms.ListIndex(), 0);
  EXPECT_EQ(window.cmbPrograms.Text(), "ShelfCat2");
  EXPECT_EQ(window.lblAbout.Caption(), "Book catalogue software, Version 2");
  EXPECT_EQ(window.Status(), frmMain::kInstructionText);
  EXPECT_EQ(window.lblVersion.Caption(), "V: 1.2.99");
  EXPECT_GE(loadSeconds, 1.25);  // the splash stays at least this long
  EXPECT_EQ(ui::Forms().All().size(), 1u);  // the splash is gone
  EXPECT_NE(GetFileAttributesW(twi::ToWide(twi::AppFolder() + "\\Runtimes").c_str()),
            INVALID_FILE_ATTRIBUTES);
  std::string log = twitest::ReadFileBytes(twi::TheLog().CurrentLogFilename());
  EXPECT_EQ(log.find("Log file created "), 12u);  // the first line: "1 HH:mm:ss, "
  EXPECT_NE(log.find(", Program startup\r\n"), std::string::npos);
  EXPECT_FALSE(window.cmdStop.Visible());  // shown only while a file downloads
}

// Counts connection attempts to a port nobody else uses.
class ConnectionCounter {
 public:
  ConnectionCounter() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(socket_, 8);
    int length = sizeof address;
    getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    u_long nonBlocking = 1;
    ioctlsocket(socket_, FIONBIO, &nonBlocking);
  }
  ~ConnectionCounter() {
    closesocket(socket_);
    WSACleanup();
  }
  int Port() const { return port_; }
  int Accepted() {
    int count = 0;
    for (SOCKET s; (s = accept(socket_, nullptr, nullptr)) != INVALID_SOCKET; ++count) closesocket(s);
    return count;
  }

 private:
  SOCKET socket_ = INVALID_SOCKET;
  int port_ = 0;
};

TEST_F(MainWindow, SelectionShowsTheDescriptionWithoutAskingTheServer) {
  ConnectionCounter server;
  twitest::WriteFileBytes(SettingsFile(), "MAINSERVER,http://127.0.0.1:" +
                                              std::to_string(server.Port()) + "/\r\n");
  LoadWindow();
  // Marks of an earlier scan are cleared by a new selection.
  window.lblOK.Load(1);
  window.cmdInstall.Load(1);
  window.lblOK[0].SetVisible(true);
  window.lblOK[1].SetVisible(true);
  window.cmdInstall[1].SetVisible(true);
  window.lblControlName[0].SetCaption("Internet Control (MSInet.ocx)");
  window.SetStatus("Passed all tests. The selected program should run perfectly.");
  // The user picks "Callclock".
  SendMessageW(window.cmbPrograms.hwnd(), CB_SETCURSEL, 2, 0);
  SendMessageW(window.Frame2.hwnd(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(window.cmbPrograms.hwnd()));
  EXPECT_EQ(window.lblAbout.Caption(), "Ham Radio callsign timer.");
  EXPECT_FALSE(window.lblOK[0].Visible());
  EXPECT_FALSE(window.lblOK[1].Visible());
  EXPECT_FALSE(window.cmdInstall[1].Visible());
  EXPECT_EQ(window.lblControlName[0].Caption(), "");
  EXPECT_EQ(window.Status(), frmMain::kInstructionText);
  for (int row = 0; row < 16; ++row) {
    window.cmbPrograms.SetListIndex(row);
    EXPECT_EQ(window.lblAbout.Caption(), twi::Catalogue()[static_cast<size_t>(row)].Description);
  }
  twitest::PumpFor(std::chrono::milliseconds(200));
  EXPECT_EQ(server.Accepted(), 0);
}

void MouseOver(HWND hwnd, int xPixels, int yPixels) {
  SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(xPixels, yPixels));
}

TEST_F(MainWindow, HoverHelpShowsOneTipAndHidesItOffTheButton) {
  LoadWindow();
  auto shown = [&](int i) { return window.TipFrame[i].Visible(); };
  EXPECT_FALSE(shown(0) || shown(1) || shown(2));
  MouseOver(window.cmdScan.hwnd(), 5, 5);
  EXPECT_TRUE(shown(2));
  EXPECT_EQ(window.lblToolTip[2].Caption().rfind("This button will examine your system", 0), 0u);
  // cmdScan spans 90..1545 twips across and 180..735 down; its edges count as inside.
  const int right = ui::TwipsToPixels(90 + 1455), bottom = ui::TwipsToPixels(180 + 555);
  ASSERT_EQ(ui::PixelsToTwips(right), 1545);
  MouseOver(window.hwnd(), right, 300 / 15);
  EXPECT_TRUE(shown(2));
  MouseOver(window.hwnd(), 300 / 15, bottom);
  EXPECT_TRUE(shown(2));
  MouseOver(window.hwnd(), right + 1, 300 / 15);
  EXPECT_FALSE(shown(2));
  MouseOver(window.cmdScan.hwnd(), 5, 5);
  MouseOver(window.hwnd(), 60 / 15, 300 / 15);  // left of the button
  EXPECT_FALSE(shown(2));
  // Moving onto another button hides every other tip and shows its own.
  MouseOver(window.cmdScan.hwnd(), 5, 5);
  MouseOver(window.cmdShowLatest.hwnd(), 5, 5);
  EXPECT_TRUE(shown(1));
  EXPECT_FALSE(shown(2));
  MouseOver(window.cmdInstallProg.hwnd(), 5, 5);
  EXPECT_TRUE(shown(0));
  EXPECT_FALSE(shown(1));
  MouseOver(window.Frame1.hwnd(), 20, 20);
  EXPECT_FALSE(shown(0) || shown(1) || shown(2));
  MouseOver(window.cmdShowLatest.hwnd(), 5, 5);
  MouseOver(window.Frame2.hwnd(), 20, 20);
  EXPECT_FALSE(shown(1));
}

TEST_F(MainWindow, BusyLeavesOnlyStopClickable) {
  LoadWindow();
  window.cmdInstall.Load(1);
  window.cmdInstall.Load(2);
  window.cmdInstall[1].SetVisible(true);
  MouseOver(window.cmdScan.hwnd(), 5, 5);
  window.DisableControls();
  EXPECT_FALSE(window.TipFrame[2].Visible());
  EXPECT_FALSE(window.cmbPrograms.Enabled());
  for (ui::Button* b : {&window.cmdScan, &window.cmdShowLatest, &window.cmdInstallProg,
                        &window.cmdUpdateInstallCenter, &window.cmdHelp, &window.cmdProxy,
                        &window.cmdExit, &window.cmdInstall[0], &window.cmdInstall[1],
                        &window.cmdInstall[2]})
    EXPECT_FALSE(b->Enabled()) << b->Caption();
  EXPECT_TRUE(window.cmdStop.Enabled());
  // Stop without a transfer running does nothing.
  SendMessageW(window.cmdStop.hwnd(), BM_CLICK, 0, 0);
  EXPECT_TRUE(window.IsLoaded());
  window.EnableControls();
  EXPECT_TRUE(window.cmbPrograms.Enabled());
  for (ui::Button* b : {&window.cmdScan, &window.cmdStop, &window.cmdExit, &window.cmdInstall[0],
                        &window.cmdInstall[2]})
    EXPECT_TRUE(b->Enabled()) << b->Caption();
}

TEST_F(MainWindow, EveryNewStatusTextIsLoggedInOrder) {
  LoadWindow();
  std::string logFile = twi::TheLog().CurrentLogFilename();
  window.SetStatus("Scanning");
  window.SetStatus("Scanning");
  window.SetStatus("Passed all tests. The selected program should run perfectly.");
  std::string log = twitest::ReadFileBytes(logFile);
  size_t first = log.find(", Scanning\r\n");
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(log.find(", Scanning\r\n", first + 1), std::string::npos);
  EXPECT_GT(log.find(", Passed all tests. The selected program should run perfectly."), first);
}

TEST_F(MainWindow, ExitWithTheRebootReminderShownFirst) {
  LoadWindow();
  twi::TheSettings().sSet("ProxyType", 2);
  window.RebootNeeded = true;
  twitest::MsgBoxRecorder boxes;
  bool visibleDuringReminder = false;
  boxes.OnShow = [&](const ui::MsgBoxCall&) { visibleDuringReminder = window.Visible(); };
  SendMessageW(window.cmdExit.hwnd(), BM_CLICK, 0, 0);
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].prompt,
            "Don't forget to reboot your computer before using the programs you have installed.");
  EXPECT_EQ(boxes.Calls()[0].style, ui::vbOKOnly);
  EXPECT_TRUE(visibleDuringReminder);
  EXPECT_FALSE(window.IsLoaded());
  EXPECT_EQ(processEnds, 1);
  EXPECT_EQ(twitest::ReadFileBytes(SettingsFile()), "PROXYTYPE, 2 \r\n");
}

TEST_F(MainWindow, ExitWithoutReminderStillSavesTheSettings) {
  LoadWindow();
  twi::TheSettings().sSet("DisableAutoUpdateCheck", false);
  twitest::MsgBoxRecorder boxes;
  window.ExitProgram();
  EXPECT_TRUE(boxes.Calls().empty());
  EXPECT_EQ(processEnds, 1);
  EXPECT_EQ(twitest::ReadFileBytes(SettingsFile()), "DISABLEAUTOUPDATECHECK, 0 \r\n");
}

TEST_F(MainWindow, TheCloseBoxRunsTheExit) {
  LoadWindow();
  window.RebootNeeded = true;
  twitest::MsgBoxRecorder boxes;
  window.SimulateClose(ui::CloseReason::ControlMenu);
  EXPECT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(processEnds, 1);
  EXPECT_TRUE(twitest::PathExists(SettingsFile()));
  EXPECT_FALSE(window.IsLoaded());
}

TEST_F(MainWindow, OtherClosesSkipTheExit) {
  LoadWindow();
  window.RebootNeeded = true;
  twitest::MsgBoxRecorder boxes;
  window.SimulateClose(ui::CloseReason::TaskManager);
  EXPECT_FALSE(window.IsLoaded());
  EXPECT_TRUE(boxes.Calls().empty());
  EXPECT_EQ(processEnds, 0);
  EXPECT_FALSE(twitest::PathExists(SettingsFile()));
}

// A window whose status line fails with an error that is not a run-time error
// (as a thread that cannot start raises std::system_error).
class FailingStatusWindow : public frmMain {
 protected:
  void CreateControls() override {
    frmMain::CreateControls();
    lblStatus.OnChange = [] {
      throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    };
  }
};

TEST(MainWindowStartUp, GoesOnAfterAStepFailsWithAnyKindOfError) {
  DeleteFileW(twi::ToWide(SettingsFile()).c_str());
  FailingStatusWindow window;
  twitest::StartMainWindow(window);
  ASSERT_TRUE(window.IsLoaded());
  EXPECT_EQ(window.cmbPrograms.ListCount(), 16);
  EXPECT_EQ(window.lblVersion.Caption(), "V: 1.2.99");  // the last steps ran
  EXPECT_TRUE(window.cmdScan.Enabled());
}

TEST(MainWindowStartUp, GoesOnWhenTheRuntimesFolderCannotBeMade) {
  std::string runtimes = twi::AppFolder() + "\\Runtimes";
  RemoveDirectoryW(twi::ToWide(runtimes).c_str());
  twitest::WriteFileBytes(runtimes, "a file where the folder should be");
  twitest::LogCapture log;
  frmMain window;
  twitest::StartMainWindow(window);
  EXPECT_TRUE(window.IsLoaded());
  EXPECT_EQ(window.lblVersion.Caption(), "V: 1.2.99");
  bool recorded = false;
  for (const std::string& text : log.Texts())
    recorded = recorded || text.find(" in MkMissingDir of module cFile") != std::string::npos;
  EXPECT_TRUE(recorded);
  DeleteFileW(twi::ToWide(runtimes).c_str());
}

TEST_F(MainWindow, ExitCancelsARunningTransferBeforeUnloadingAndSavesTheSettingsLast) {
  LoadWindow();
  twi::TheSettings().sSet("LastUpdateCheck", 1);
  twi::cSHAREDInternet& client = window.DownloadClient();
  twitest::ScratchFolder dir;
  int cancels = 0;
  bool engineLoadedAtCancel = false, settingsAtCancel = true;
  client.DownloadCancelled = [&] {
    if (++cancels > 1) return;  // the client cancels once more as it is released
    engineLoadedAtCancel = client.Engine() && client.Engine()->IsLoaded();
    settingsAtCancel = twitest::PathExists(SettingsFile());
  };
  bool clientGoneAtEnd = false, formsGoneAtEnd = false, settingsAtEnd = false;
  window.EndProcess = [&] {
    clientGoneAtEnd = !window.cInternet;
    formsGoneAtEnd = ui::Forms().All().empty();
    settingsAtEnd = twitest::PathExists(SettingsFile());
  };
  // A file download under way on the window's client (the server takes its time
  // to answer, so no part of the engine is busy when the exit comes).
  client.Engine()->DownloadFile(twitest::HttpUrl("/hold/20"), dir.File("p.zip"), true);
  ASSERT_TRUE(twitest::PumpUntil([&] { return client.Connected(); }, std::chrono::seconds(5)));
  window.ExitProgram();
  EXPECT_GE(cancels, 1);
  EXPECT_TRUE(engineLoadedAtCancel);
  EXPECT_FALSE(settingsAtCancel);
  EXPECT_TRUE(clientGoneAtEnd);
  EXPECT_TRUE(formsGoneAtEnd);
  EXPECT_TRUE(settingsAtEnd);
  EXPECT_EQ(twitest::ReadFileBytes(SettingsFile()), "LASTUPDATECHECK, 1 \r\n");
}

// "Update Install Center" up to the hand-over, with the update program missing
// and with a stand-in for it (the probe, named Updater.exe) that writes down
// how it was started.
class SelfUpdate : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    CreateDirectoryW(twi::ToWide(twitest::HttpRoot() + "\\versions").c_str(), nullptr);
    twitest::WriteFileBytes(twitest::HttpRoot() + "\\versions\\TWI_current.txt",
                            "1.3.0\r\n" + twitest::HttpUrl("/files/TWInstUpd@@@.exe") + "\r\n");
    twitest::WriteFileBytes(twitest::HttpRoot() + "\\TWInstUpd130.exe", std::string(40000, 'u'));
    // Read by the start-up: the maker's server is the fixture server.
    twitest::WriteFileBytes(SettingsFile(), "MAINSERVER," + twitest::HttpUrl("/files/") + "\r\n");
  }
  void TearDown() override {
    for (const char* name : {"updater.ini", "TWInstUpd.exe", "Updater.exe", "updater-call.txt"})
      DeleteFileW(twi::ToWide(twi::AppFolder() + "\\" + name).c_str());
  }
  // Clicks "Update Install Center", then "Download and Install" and Yes.
  void UpdateAndInstall(twitest::MsgBoxRecorder& boxes) {
    SendMessageW(window.cmdUpdateInstallCenter.hwnd(), BM_CLICK, 0, 0);
    ASSERT_TRUE(window.Updater);
    ASSERT_TRUE(window.Updater->Visible());
    EXPECT_EQ(window.Updater->lblUpdate.Caption(), "Version 1.3.0 is available!");
    boxes.Answer(ui::vbYes);
    window.Updater->cmdDownloadInstall.Click();
    // The hand-over runs once the click's handler has returned and the window has closed.
    EXPECT_TRUE(window.Updater->IsLoaded());
    EXPECT_FALSE(twitest::PathExists(twi::AppFolder() + "\\updater.ini"));
    ASSERT_TRUE(twitest::PumpUntil([&] { return !window.Updater->IsLoaded(); },
                                   std::chrono::seconds(10)));
  }
  std::string HandOver() { return twitest::ReadFileBytes(twi::AppFolder() + "\\updater.ini"); }
};

TEST_F(SelfUpdate, HandsOverToTheUpdateProgramAndEnds) {
  LoadWindow();
  CopyFileW(twi::ToWide(twitest::ProbeExe()).c_str(),
            twi::ToWide(twi::AppFolder() + "\\Updater.exe").c_str(), FALSE);
  window.RebootNeeded = true;
  twitest::MsgBoxRecorder boxes;
  UpdateAndInstall(boxes);
  EXPECT_EQ(processEnds, 1);
  EXPECT_EQ(HandOver(), "TWInstUpd.exe");  // 13 bytes, no line break
  ASSERT_EQ(boxes.Calls().size(), 2u);
  EXPECT_EQ(boxes.Calls()[1].prompt, frmMain::kRebootReminder);
  std::string call = twi::AppFolder() + "\\updater-call.txt";
  ASSERT_TRUE(twitest::PumpUntil([&] { return twitest::PathExists(call); }, std::chrono::seconds(20)));
  twitest::PumpFor(std::chrono::milliseconds(300));
  EXPECT_EQ(twitest::ReadFileBytes(call),
            "line=\"" + twi::AppFolder() + "\\Updater.exe\" Tarnwick Software Install Center\nshow=1\n");
  EXPECT_EQ(twitest::ReadFileBytes(twi::AppFolder() + "\\TWInstUpd.exe"), std::string(40000, 'u'));
}

TEST_F(SelfUpdate, WithoutTheUpdateProgramTheWindowComesBackAndSaysSo) {
  LoadWindow();
  twitest::MsgBoxRecorder boxes;
  UpdateAndInstall(boxes);
  EXPECT_EQ(processEnds, 0);
  EXPECT_TRUE(window.Visible());
  EXPECT_EQ(HandOver(), "TWInstUpd.exe");
  ASSERT_EQ(boxes.Calls().size(), 2u);
  EXPECT_EQ(boxes.Calls()[1].prompt, "The update program " + twi::AppFolder() +
                                         "\\Updater.exe could not be started, so the install "
                                         "center was not updated.");
}

TEST_F(MainWindow, SessionEndSavesTheSettingsOnly) {
  LoadWindow();
  window.RebootNeeded = true;
  twi::TheSettings().sSet("ProxyServer", "myproxy");
  twitest::MsgBoxRecorder boxes;
  window.SimulateClose(ui::CloseReason::AppWindows);
  EXPECT_FALSE(window.IsLoaded());
  EXPECT_TRUE(boxes.Calls().empty());  // no reminder
  EXPECT_EQ(processEnds, 0);
  EXPECT_EQ(twitest::ReadFileBytes(SettingsFile()), "PROXYSERVER,myproxy\r\n");
}

}  // namespace
