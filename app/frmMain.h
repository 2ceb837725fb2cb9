#pragma once
// The install center's main window: the program list and its description, the
// scan result rows, the action buttons, the status line (every change is
// logged), the hover help of three buttons, the switching between idle and
// busy, and the orderly exit that saves the settings.
#include <functional>
#include <memory>
#include <string>

#include "app/frmSplash.h"
#include "install/MainWindowView.h"
#include "install/ProgramInstaller.h"
#include "install/RuntimeInstaller.h"
#include "install/RuntimeScan.h"
#include "ui/Button.h"
#include "ui/ComboBox.h"
#include "ui/ControlArray.h"
#include "ui/Form.h"
#include "ui/Frame.h"
#include "ui/Label.h"

namespace twi {

class cSHAREDInternet;
class fSHAREDUpdater;

class frmMain : public ui::Form, public install::MainWindowView {
 public:
  frmMain();
  ~frmMain() override;

  // Controls, named as the window's design names them.
  ui::Frame Frame2;
  ui::ComboBox cmbPrograms;
  ui::Label lblAbout;
  ui::Frame Frame1;  // holds the result rows
  // The result rows: element 0 of each array is the design template that the
  // window creates; row r shows in element r. A row's button carries the key of
  // the component it installs in its tag.
  ui::ControlArray<ui::Label> lblControlName;
  ui::ControlArray<ui::Label> lblOK;
  ui::ControlArray<ui::Label> lblFail;
  ui::ControlArray<ui::Button> cmdInstall;
  ui::Button cmdScan, cmdShowLatest, cmdInstallProg, cmdStop, cmdUpdateInstallCenter, cmdHelp,
      cmdProxy, cmdExit;
  ui::Label lblVersion;
  ui::Label lblStatus;
  ui::ControlArray<ui::Frame> TipFrame;
  ui::ControlArray<ui::Label> lblToolTip;

  // Member state shared with the operations behind the buttons.
  std::unique_ptr<cSHAREDInternet> cInternet;  // the download client, created on first need
  std::unique_ptr<fSHAREDUpdater> Updater;     // the updater window of "Update Install Center"
  std::string SettingsFilePath;
  bool RebootNeeded = false;  // an install needs a reboot: the exit reminds the user

  // The runtime scan behind "Scan Runtimes", the installer behind each result
  // row's "Install" and the program installer behind "Download and Install
  // Program".
  RuntimeScan Scan{*this};
  install::RuntimeInstaller Installer{*this, Scan};
  install::ProgramInstaller ProgramInstall{*this, Scan};
  void cmdInstall_Click(int index) { Installer.InstallClicked(index, cmdInstall[index].Tag); }

  // The view the install operations have of this window.
  void PrepareRow(int row, const std::string& component) override;
  void ShowRowName(int row, const std::string& name) override;
  void ShowRowResult(int row, bool passed) override;
  void ClearRows() override { ShowProgramInfo(false); }
  // The status line: every operation reports here; each change is logged.
  void SetStatus(const std::string& text) override { lblStatus.SetCaption(text); }
  std::string Status() const override { return lblStatus.Caption(); }
  void ShowBusy() override { DisableControls(); }
  void ShowIdle() override { EnableControls(); }
  std::string SelectedProgram() const override { return cmbPrograms.Text(); }
  cSHAREDInternet& DownloadClient() override;
  void ReleaseDownloadClient() override;
  void ShowStopButton(bool visible) override;
  void RemindOfRebootAtExit() override { RebootNeeded = true; }

  void DisableControls();
  void EnableControls();
  // Clears the result rows and shows the selected program's description; with
  // showLatest, the latest version of it too.
  void ShowProgramInfo(bool showLatest);
  // Vertical place of result row `row` in twips from the top of the result frame.
  static int RowTop(int row);
  fSHAREDUpdater& UpdaterObject();
  void ShowTip(int index);
  void HideTip(int index);
  void HideAllTips();
  void ExitProgram();

  // Ends the process after the exit steps; tests replace it to stay alive.
  std::function<void()> EndProcess;
  // Set before Load for a run from the command line: the window is never shown,
  // so the start-up shows no splash and does not wait for it.
  bool CommandRun = false;
  // Writes updater.ini, starts Updater.exe and ends ("Update Install Center"
  // once the package is downloaded); returns only when Updater.exe cannot start.
  void Updater_InstallFile();

  static constexpr const char* kInstructionText =
      "Click 'Scan Runtimes' to see if your system is ready for this program.  Click 'Download "
      "and Install Program' to install the selected software.";
  // "Update Install Center": the install center's own version file, and the
  // package's file name in the program folder.
  static std::string SelfUpdateVersionFile();
  static constexpr const char* kUpdatePackage = "TWInstUpd.exe";
  static constexpr const char* kRebootReminder =
      "Don't forget to reboot your computer before using the programs you have installed.";

 protected:
  void CreateControls() override;
  void Form_Load() override;
  void Form_QueryUnload(bool& cancel, ui::CloseReason reason) override;
  void Form_MouseMove(const ui::MouseArgs& args) override;

 private:
  void CreateResultRowTemplate();
  void LoadRow(int row);
  void CreateButtons();
  void CreateTipFrames();
  void ConnectEvents();
  void StartUp();
  void HoverCheck(int x, int y);
  void ForEachButton(const std::function<void(ui::Button&)>& action);
  void ShowAbout();
  // "Update Install Center" (app/SelfUpdate.cpp).
  void ShowSelfUpdate();
  void ShowProxySetup();
  void CreateDownloadClient();
  void ShowLatestVersion(const std::string& versionAddress, const std::string& programName);

  frmSplash splash_;
  bool latestQueryRunning_ = false;
};

}  // namespace twi
