#include "install/CopyToSysFolder.h"

#include "base/DoEvents.h"
#include "base/Trap.h"
#include "diag/RoutineSteps.h"
#include "diag/cSharedLogging.h"
#include "install/MainWindowView.h"
#include "install/ReplaceAtReboot.h"
#include "sys/ExecCmd.h"
#include "sys/SystemFolders.h"
#include "sys/cSHAREDDelay.h"
#include "sys/cSharedFileSubs.h"
#include "ui/MsgBox.h"

namespace twi::install {

void CopyToSysFolder(MainWindowView& w, const std::string& sourcePath, const std::string& fileName,
                     bool inUseFallback) {
  // A step that fails shows and logs its error, and the next step runs.
  RoutineSteps step({.routine = "CopyToSysFolder", .onError = [&](const RuntimeError& error) {
                       w.SetStatus("CopyToSysFolder: " + error.Description());
                       TheLog().LogEvent(ErrorText(error, ErrorStyle::NumberDash));
                     }});
  cSharedFileSubs& files = TheFileSubs();
  std::string systemFolder, target;
  step([&] {
    systemFolder = GetSystemFolder();
    target = systemFolder + fileName;
  });
  if (!files.FileExists(sourcePath)) {
    step([&] { ui::MsgBox(sourcePath + " not found. Cannot install it."); });
    DoEvents();
    return;
  }
  long result = copyresult::SystemCopyFailed;
  step([&] { result = files.CopyFileWithRetCode(sourcePath, target); });
  if ((result == copyresult::InUse || result == copyresult::ReadOnlyTarget) && inUseFallback) {
    step([&] { ReplaceAtReboot(w, sourcePath, fileName, systemFolder); });
    return;  // no registration now: the new file arrives at the reboot
  }
  if (result != copyresult::Copied) {
    // Nothing new is in the system folder, so nothing is registered; the scan
    // that follows shows the component's true state.
    step([&] {
      w.SetStatus(sourcePath + " could not be copied to " + systemFolder + ": " +
                  CopyFailureReason(result) + " (" + std::to_string(result) + ")");
    });
    return;
  }
  step([&] {
    w.SetStatus(sourcePath + " copied to " + systemFolder);
    DoEvents();
  });
  step([&] {
    // By its full path: a bare name is looked for in the program folder first, where
    // packages are unpacked.
    if (!StartHidden(CommandLineOf(systemFolder + "regsvr32.exe", "/s " + QuotedArgument(target))))
      throw RuntimeError(err::FileNotFound, "regsvr32.exe could not be started");
  });
  step([&] { TheDelay().Delay(2); });
}

}  // namespace twi::install
