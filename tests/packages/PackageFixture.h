#pragma once
// The main window with the maker's servers on the fixture HTTP server (as in the
// runtime installer's tests), and the roads a package takes in: served as the
// common-controls package of qNovel4's third row and installed from that row,
// unpacked by the installers' Unzip into a folder of its own, or named by a
// program's version file and downloaded as its installer.
#include <string>
#include <vector>

#include "base/AppInfo.h"
#include "base/TextConv.h"
#include "install/RuntimeScan.h"
#include "support/InstallerFixture.h"
#include "support/StandIns.h"
#include "support/TestServers.h"

class PackageTest : public InstallerTest {
 protected:
  // qNovel4's rows: 0 the Internet control, 2 the common controls (MSCOMCTL.zip).
  static constexpr int kControlRow = 2;
  static constexpr const char* kPackage = "MSCOMCTL.zip";
  static constexpr const char* kControl = "MsComCtl.ocx";

  // A package made by make_hostile.py (build/fixtures/hostile/).
  static std::string HostileFolder() {
    return twitest::WindowsPathOf(TWI_FIXTURE_DIR) + "\\hostile\\";
  }
  // Serves `file` as the common-controls package on the main server.
  static void ServeAsControlPackage(const std::string& file) {
    ASSERT_TRUE(CopyFileW(
        twi::ToWide(file).c_str(),
        twi::ToWide(twitest::ServedFile(std::string("main/runtimes/") + kPackage)).c_str(), FALSE));
  }
  // The scan, then "Install" on the common-controls row.
  void InstallControlRow() {
    Select("qNovel4");
    ClickScan();
    ASSERT_TRUE(Failed(kControlRow));
    ASSERT_EQ(window.cmdInstall[kControlRow].Tag, "MSCOMCTL");
    ClickInstall(kControlRow);
  }
  // qNovel4's version file names `address` as its installer; "Download and Install
  // Program" is pressed.
  void DownloadProgramFrom(const std::string& address) {
    CreateDirectoryW(twi::ToWide(twitest::ServedFile("main/versions")).c_str(), nullptr);
    twitest::WriteFileBytes(twitest::ServedFile("main/versions/QNV4_current.txt"),
                            "9.9.9\r\n" + address + "\r\n");
    Select("qNovel4");
    twitest::ClickButton(window.cmdInstallProg);
  }
  // True when a message box or the status line showed a text containing `text`.
  bool Showed(const std::string& text) {
    for (const std::string& prompt : Prompts())
      if (prompt.find(text) != std::string::npos) return true;
    for (const std::string& logged : log.Texts())
      if (logged.find(text) != std::string::npos) return true;
    return false;
  }
  // Every box and every logged text, for a failure's message.
  std::string Shown() {
    std::string all;
    for (const std::string& prompt : Prompts()) all += "box: " + prompt + "\n";
    return all + LogDump();
  }
  // The window still answers and its next step runs: a scan ends with its result.
  bool StillAnswers() {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window.hwnd(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &answer))
      return false;
    window.SetStatus("");
    ClickScan();
    return window.Status() == twi::RuntimeScan::kAllPassed ||
           window.Status() == twi::RuntimeScan::kSomeFailed;
  }

  twitest::Registered internetControl{"msinet.ocx"};  // row 0 passes: the others install
};
