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
#include "base/UniqueHandle.h"
#include "net/ServerAddresses.h"
#include "sys/cSharedFileSubs.h"
#include "ui/MsgBox.h"
#include "update/fSHAREDUpdater.h"

namespace twi {
namespace {

constexpr const char* kPackage = "TWInstUpd.exe";

// Starts `commandLine` with a normal, focused window and does not wait for it.
bool StartProgram(const std::string& commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  std::wstring line = ToWide(commandLine);
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return false;
  UniqueHandle thread(process.hThread), handle(process.hProcess);
  return true;
}

}  // namespace

void frmMain::ShowSelfUpdate() {
  fSHAREDUpdater& updater = UpdaterObject();
  updater.InstallFile = [this] { Updater_InstallFile(); };
  updater.ShowandCheck(MainServerBase() + "versions/TWI_current.txt", "", kPackage);
}

void frmMain::Updater_InstallFile() {
  Hide();
  DoEvents();
  if (Updater) Ignoring([&] { Updater->Unload(); });
  TheFileSubs().WriteTextFile(AppFolder() + "\\updater.ini", kPackage);
  const std::string updater = AppFolder() + "\\Updater.exe";
  if (!StartProgram(updater + " " + Caption())) {
    // Without the update program nothing can replace the install center: it
    // stays, visible again, and says why.
    Show();
    ui::MsgBox("The update program " + updater +
               " could not be started, so the install center was not updated.");
    return;
  }
  ExitProgram();
}

}  // namespace twi
