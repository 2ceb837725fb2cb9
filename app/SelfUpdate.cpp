// "Update Install Center": the updater window checks the install center's own
// version file; when the user installs the update, the install center writes
// the package's name into updater.ini, starts Updater.exe with its caption and
// ends, so that the update program can replace and restart it.
#include <windows.h>

#include "app/frmMain.h"
#include "base/AppInfo.h"
#include "base/DoEvents.h"
#include "base/TextConv.h"
#include "base/Trap.h"
#include "net/ServerAddresses.h"
#include "sys/ExecCmd.h"
#include "sys/cSharedFileSubs.h"
#include "ui/MsgBox.h"
#include "update/fSHAREDUpdater.h"

namespace twi {

std::string frmMain::SelfUpdateVersionFile() {
  return MainServerBase() + "versions/TWI_current.txt";
}

void frmMain::ShowSelfUpdate() {
  fSHAREDUpdater& updater = UpdaterObject();
  updater.InstallFile = [this] { Updater_InstallFile(); };
  updater.ShowandCheck(SelfUpdateVersionFile(), "", kUpdatePackage);
}

// Runs after the updater window's click has returned and the window has closed
// (it posts the hand-over), or from the command line's /update.
void frmMain::Updater_InstallFile() {
  Hide();
  DoEvents();
  // The command line's check loads the updater window unseen.
  if (Updater) Ignoring([&] { Updater->Unload(); });
  TheFileSubs().WriteTextFile(AppFolder() + "\\updater.ini", kUpdatePackage);
  const std::string updater = AppFolder() + "\\Updater.exe";
  // The caption follows the quoted program path as it stands, unquoted.
  if (!StartProgram(CommandLineOf(updater, Caption()), SW_SHOWNORMAL)) {
    // Without the update program nothing can replace the install center: it
    // stays, visible again (a command run stays unseen), and says why.
    if (!CommandRun) Show();
    ui::MsgBox("The update program " + updater +
               " could not be started, so the install center was not updated.");
    return;
  }
  ExitProgram();
}

}  // namespace twi
