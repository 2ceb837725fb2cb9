#pragma once
// The main window with the maker's servers on the fixture HTTP server, the
// Internet control delivered in the program folder as "Msinet.oc_", and
// everything an install leaves behind undone afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/frmMain.h"
#include "base/AppInfo.h"
#include "base/TextConv.h"
#include "support/InstallerSupport.h"
#include "support/LogCapture.h"
#include "support/MainWindowDriver.h"
#include "support/StandIns.h"
#include "support/TestSupport.h"

class InstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    twitest::StartMainWindow(window);
    twitest::PublishMakersServers();
    CopyFileW(twi::ToWide(twitest::StandInPath("msinet.ocx")).c_str(),
              twi::ToWide(ProgramFile("Msinet.oc_")).c_str(), FALSE);
  }
  static std::string ProgramFile(const std::string& name) { return twi::AppFolder() + "\\" + name; }

  void Select(const std::string& program) { ASSERT_TRUE(twitest::SelectProgram(window, program)); }
  void ClickScan() { twitest::ClickButton(window.cmdScan); }
  void ClickInstall(int row) { twitest::ClickButton(window.cmdInstall[row]); }
  bool Passed(int row) { return twitest::RowPassed(window, row); }
  bool Failed(int row) { return twitest::RowFailed(window, row); }
  // True when some log text begins with `start`.
  bool Logged(const std::string& start) {
    for (const std::string& text : log.Texts())
      if (text.rfind(start, 0) == 0) return true;
    return false;
  }
  // Prints the log texts that begin with one of `starts`, for the run's output.
  void ShowLogged(const std::vector<std::string>& starts) {
    for (const std::string& text : log.Texts())
      for (const std::string& start : starts)
        if (text.rfind(start, 0) == 0) std::printf("[ logged   ] %s\n", text.c_str());
  }
  // Every log text, one a line: shown with a failure.
  std::string LogDump() {
    std::string dump;
    for (const std::string& text : log.Texts()) dump += text + "\n";
    return dump;
  }
  std::vector<std::string> Prompts() const {
    std::vector<std::string> prompts;
    for (const ui::MsgBoxCall& call : boxes.Calls()) prompts.push_back(call.prompt);
    return prompts;
  }

  twitest::InstallSandbox sandbox;  // first made, last undone
  twitest::LogCapture log;
  twitest::MsgBoxRecorder boxes;
  twi::frmMain window;
};
