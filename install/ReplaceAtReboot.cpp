#include "install/ReplaceAtReboot.h"

#include <windows.h>

#include "base/DoEvents.h"
#include "base/FileTable.h"
#include "base/TextConv.h"
#include "base/Trap.h"
#include "base/cSharedOSInfo.h"
#include "diag/cSharedLogging.h"
#include "install/CopyToSysFolder.h"
#include "install/MainWindowLink.h"
#include "sys/SystemFolders.h"
#include "sys/cSharedFileSubs.h"

namespace twi::install {

std::string TemporaryNameFor(const std::string& systemFolder, const std::string& fileName) {
  return ReplaceAll(ReplaceAll(UpperAscii(systemFolder + fileName), ".OCX", ".TMP"), ".DLL",
                    ".TMP");
}

void ReplaceAtReboot(MainWindowLink& w, const std::string& sourcePath, const std::string& fileName,
                     const std::string& systemFolder) {
  w.SetStatus("System file in use. Adding commands to wininit.ini");
  DoEvents();
  const std::string temporary = TemporaryNameFor(systemFolder, fileName);
  const std::string target = systemFolder + fileName;
  w.SetStatus("Copying " + sourcePath + " to " + temporary);
  DoEvents();
  long copied = TheFileSubs().CopyFileWithRetCode(sourcePath, temporary);
  if (copied != copyresult::Copied) {
    // Without the new file beside the old one a reboot would change nothing.
    w.SetStatus(sourcePath + " could not be copied to " + temporary + ": " +
                CopyFailureReason(copied) + " (" + std::to_string(copied) + ")");
    return;
  }
  std::string windowsFolder = GetWindowsFolder();
  w.SetStatus("Windows Path: " + windowsFolder);
  DoEvents();
  std::string initFile = windowsFolder + "wininit.ini";
  w.SetStatus("Wininit.ini file: " + initFile);
  ScopedFile file;
  if (TheFileSubs().FileExists(initFile)) {
    file = ScopedFile(initFile, FileMode::Append);
    w.SetStatus("Adding to " + initFile);
  } else {
    file = ScopedFile(initFile, FileMode::Output);
    w.SetStatus("Creating " + initFile);
  }
  if (TheOSInfo().GetWinPlatform() == 1) {
    w.SetStatus("Windows 9x style init file");
    TheFiles().WriteLine(file.Number(), "[rename]");
    TheFiles().WriteLine(file.Number(), target + "=" + temporary);
  } else {
    w.SetStatus("Windows NT style init file");
    TheFiles().WriteLine(file.Number(), "MoveFileEx(" + temporary + "," + target +
                                            ", MOVEFILE_DELAY_UNTIL_REBOOT);");
    // The line above is a record only: the NT family never reads wininit.ini.
    if (!MoveFileExW(ToWide(temporary).c_str(), ToWide(target).c_str(),
                     MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING))
      TheLog().LogEvent("The system refused to replace " + target + " at the next reboot: " +
                        ErrorText(RuntimeError::FromLastError()));
  }
  file.Close();
  w.RebootNeeded = true;
}

}  // namespace twi::install
