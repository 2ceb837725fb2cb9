#pragma once
// Drives the main window in-process as a user would: start it (with the real
// pointer parked away from it and the process kept alive at exit) and pick a
// program from its list.
#include <chrono>
#include <functional>
#include <string>

#include "app/frmMain.h"
#include "base/Clock.h"
#include "support/TestSupport.h"

namespace twitest {

// Loads and shows the window; `endProcess` stands in for the end of the
// process at exit. Returns the seconds the load took.
inline double StartMainWindow(twi::frmMain& window, std::function<void()> endProcess = [] {}) {
  // Showing a window makes Windows send it a mouse move at the pointer's place.
  SetCursorPos(0, 0);
  window.EndProcess = std::move(endProcess);
  double start = twi::ClockSeconds();
  window.Load();
  double seconds = twi::ClockSeconds() - start;
  window.Show();
  PumpFor(std::chrono::milliseconds(100));  // let those moves arrive first
  return seconds;
}

// Chooses the row with this text as a user's click does; false when there is none.
inline bool SelectProgram(twi::frmMain& window, const std::string& program) {
  for (int i = 0; i < window.cmbPrograms.ListCount(); ++i) {
    if (window.cmbPrograms.List(i) == program) {
      window.cmbPrograms.SetListIndex(i);
      return true;
    }
  }
  return false;
}

// A result row as the user sees it: "OK" alone, or "Fail" with its "Install" button.
inline bool RowPassed(twi::frmMain& window, int row) {
  return window.lblOK[row].Visible() && !window.lblFail[row].Visible() &&
         !window.cmdInstall[row].Visible();
}
inline bool RowFailed(twi::frmMain& window, int row) {
  return window.lblFail[row].Visible() && window.cmdInstall[row].Visible() &&
         !window.lblOK[row].Visible();
}

// Clicks a button as a user does (the button's own window gets the click).
inline void ClickButton(const ui::Button& button) { SendMessageW(button.hwnd(), BM_CLICK, 0, 0); }

}  // namespace twitest
