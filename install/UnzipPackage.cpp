#include "install/UnzipPackage.h"

#include <windows.h>

#include <memory>

#include "base/TextConv.h"
#include "base/Trap.h"
#include "install/MainWindowLink.h"
#include "sys/CGUnzipFiles.h"
#include "sys/ExecCmd.h"
#include "ui/MsgBox.h"

namespace twi::install {

void Unzip(MainWindowLink& w, const std::string& folder, const std::string& packageName,
           const std::string& targetFolder) {
  // Every step that fails shows its error and the next one runs.
  auto step = [&](auto action) {
    if (auto error = Trapping(action)) w.SetStatus("Unzip: " + error->Description());
  };
  step([&] {
    if (!CreateDirectoryW(ToWide(targetFolder).c_str(), nullptr) &&
        GetLastError() != ERROR_ALREADY_EXISTS)
      throw RuntimeError::FromLastError();
  });
  std::unique_ptr<CGUnzipFiles> zip;
  long result = 0;
  step([&] {
    zip = std::make_unique<CGUnzipFiles>();
    zip->SetZipFileName(folder + packageName);
    zip->SetExtractDir(targetFolder);
    zip->SetHonorDirectories(true);
    result = zip->Unzip();
  });
  if (!zip) return;
  step([&] {
    if (result == 0) return;
    std::string message = zip->GetLastMessage();
    if (message.find("may be a plain executable") != std::string::npos)
      ExecCmd(packageName);  // the bare name: found in the program's own folder
    else
      ui::MsgBox(message);
  });
  step([&] {
    if (result == 0) w.SetStatus("Unpacked " + packageName + " to " + targetFolder);
  });
}

}  // namespace twi::install
