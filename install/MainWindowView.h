#pragma once
// What the install operations (the runtime scan and the installers) need of the
// main window, in the words of their job: the result rows, the status line, busy
// and idle, the selected program, the download client with its stop button, and a
// reboot reminder at exit. frmMain implements it and keeps its controls, their
// layout and its state to itself; install/ never names a control of the window.
#include <string>

namespace twi {

class cSHAREDInternet;

namespace install {

class MainWindowView {
 public:
  // Result row `row` (0 the first): created and placed when it is new; its
  // "Install" button installs `component` (a component key).
  virtual void PrepareRow(int row, const std::string& component) = 0;
  // The component's name, shown while its test runs.
  virtual void ShowRowName(int row, const std::string& name) = 0;
  // Its result: "OK", or "Fail" with the "Install" button.
  virtual void ShowRowResult(int row, bool passed) = 0;
  // Clears every row's result and name; the window shows the selected program's
  // description and the instructions again.
  virtual void ClearRows() = 0;

  // The status line; every change is logged.
  virtual void SetStatus(const std::string& text) = 0;
  virtual std::string Status() const = 0;
  // Busy (only "Stop Current Download" clickable) and idle.
  virtual void ShowBusy() = 0;
  virtual void ShowIdle() = 0;
  // The list text of the selected program, "" when none is selected.
  virtual std::string SelectedProgram() const = 0;
  // The window's download client, created on first need, and its release.
  virtual cSHAREDInternet& DownloadClient() = 0;
  virtual void ReleaseDownloadClient() = 0;
  // "Stop Current Download": shown (and brought to the front) while a file
  // downloads, hidden again afterwards.
  virtual void ShowStopButton(bool visible) = 0;
  // An install needs a reboot: the exit reminds the user.
  virtual void RemindOfRebootAtExit() = 0;

 protected:
  ~MainWindowView() = default;
};

}  // namespace install
}  // namespace twi
