#pragma once
// "Download and Install Program": the selected program's version file on the
// maker's server names its current package; the package is fetched into the
// program folder (or taken from Local), run as the program's own installer and
// waited for, and the runtime scan follows.
#include <string>

#include "update/SignedFiles.h"

namespace twi {

class RuntimeScan;

namespace install {

class MainWindowView;

class ProgramInstaller {
 public:
  ProgramInstaller(MainWindowView& window, RuntimeScan& scan) : window_(window), scan_(scan) {}

  // The click of "Download and Install Program".
  void InstallProgramClicked();
  // The download address the version file at `versionAddress` names, "" when
  // there is none (no reply, an error page, no second line) or when the maker's
  // signature on the file refuses it (said in a box). What the installer must be
  // (the file's signed sha256 line) is kept for DownloadAndInstallProgram.
  std::string GetDownloadInfo(const std::string& versionAddress);
  // Fetches the installer and runs it, waiting until it ends. Error 5 is raised
  // to the caller; any other error is shown and the next step runs. An installer
  // that the kept expectation refuses is erased and never run. True when the
  // installer was run to its end.
  bool DownloadAndInstallProgram(const std::string& downloadAddress,
                                 const std::string& programName, const std::string& fileName);

  static constexpr const char* kInternetControlMissing =
      "You must install MSINET.OCX before you can download any programs";

 private:
  void InstallSelectedProgram();

  MainWindowView& window_;
  RuntimeScan& scan_;
  Expectation installerExpectation_;  // from the last GetDownloadInfo
};

}  // namespace install
}  // namespace twi
