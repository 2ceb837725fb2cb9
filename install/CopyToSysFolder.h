#pragma once
// Installs one control or library: copies it into the Windows system folder
// and starts "regsvr32.exe /s" on it, hidden, then waits two seconds (window
// events keep running). A target in use, where the component allows it, is
// replaced at the next reboot instead (install/ReplaceAtReboot.h). A copy that
// fails otherwise is shown as failed, with the file and the reason, and nothing
// is registered. Errors go to the status line and the log; the caller goes on.
#include <string>

namespace twi::install {

class MainWindowView;

void CopyToSysFolder(MainWindowView& window, const std::string& sourcePath,
                     const std::string& fileName, bool inUseFallback);

}  // namespace twi::install
