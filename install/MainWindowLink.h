#pragma once
// What the install operations (the runtime scan and the installers) need of the
// main window, declared here so that install/ never depends on the window
// itself: the result rows, the members the operations share, the status line,
// busy and idle, the selected program, the download client and its stop
// button, and the scan button. frmMain
// implements it; a test can implement it with a plain form.
#include <string>

#include "ui/Button.h"
#include "ui/ControlArray.h"
#include "ui/Label.h"

namespace twi {

class cSHAREDInternet;

namespace install {

// The scan's result rows: element 0 of each array is the design template that
// the window creates; row r shows in element r.
struct ResultRows {
  ui::ControlArray<ui::Label> lblControlName;
  ui::ControlArray<ui::Label> lblOK;
  ui::ControlArray<ui::Label> lblFail;
  ui::ControlArray<ui::Button> cmdInstall;
};

// The main window's members that its operations share.
struct SharedMembers {
  short NextRow = 0;            // the result row the next test fills
  bool InetOK = false;          // the Internet control passed the last scan
  bool RebootNeeded = false;    // an install needs a reboot: the exit reminds the user
};

class MainWindowLink : public ResultRows, public SharedMembers {
 public:
  // The status line; every change is logged.
  virtual void SetStatus(const std::string& text) = 0;
  virtual std::string Status() const = 0;
  // Busy (only "Stop Current Download" clickable) and idle.
  virtual void DisableControls() = 0;
  virtual void EnableControls() = 0;
  // Clears the result rows and shows the selected program's description.
  virtual void ShowProgramInfo(bool showLatest) = 0;
  // The list text of the selected program, "" when none is selected.
  virtual std::string SelectedProgram() const = 0;
  // The window's download client, created on first need, and its release.
  virtual cSHAREDInternet& DownloadClient() = 0;
  virtual void ReleaseDownloadClient() = 0;
  // "Stop Current Download": shown (and brought to the front) while a file
  // downloads, hidden again afterwards.
  virtual void ShowStopButton(bool visible) = 0;
  // Presses "Scan Runtimes", as the installers do when they are done.
  virtual void PressScan() = 0;

 protected:
  ~MainWindowLink() = default;
};

}  // namespace install
}  // namespace twi
