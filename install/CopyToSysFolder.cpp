#include "install/CopyToSysFolder.h"

#include "base/DoEvents.h"
#include "base/Trap.h"
#include "diag/cSharedLogging.h"
#include "install/MainWindowLink.h"
#include "install/ReplaceAtReboot.h"
#include "sys/ExecCmd.h"
#include "sys/SystemFolders.h"
#include "sys/cSHAREDDelay.h"
#include "sys/cSharedFileSubs.h"
#include "ui/MsgBox.h"

namespace twi::install {

std::string CopyFailureReason(long copyResult) {
  switch (copyResult) {
    case copyresult::Copied: return "";
    case copyresult::SystemCopyFailed: return "the system could not copy the file";
    case copyresult::SourceMissing: return "the file to copy is missing";
    case copyresult::InUse: return "the file there is in use";
    case copyresult::ReadOnlyTarget: return "the file there is read-only";
    default: {
      std::string text = RuntimeError::StandardDescription(copyResult);
      return text.empty() ? "error " + std::to_string(copyResult) : text;
    }
  }
}

void CopyToSysFolder(MainWindowLink& w, const std::string& sourcePath, const std::string& fileName,
                     bool inUseFallback) {
  // A step that fails shows and logs its error, and the next step runs.
  auto step = [&](auto action) {
    std::optional<RuntimeError> error = Trapping(action);
    if (!error) return;
    w.SetStatus("CopyToSysFolder: " + error->Description());
    TheLog().LogEvent(ErrorText(*error, ErrorStyle::NumberDash));
  };
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
    if (!StartHidden("regsvr32.exe /s " + target))
      throw RuntimeError(err::FileNotFound, "regsvr32.exe could not be started");
  });
  step([&] { TheDelay().Delay(2); });
}

}  // namespace twi::install
