#pragma once
// One run of the update program. The install center wrote the package's file
// name into updater.ini, started us with its main window's caption and ended
// itself. We wait until that window is gone, keep a copy of the install
// center, run the package from the program folder and wait for it, check that
// a runnable TWInstall.exe is left (else the copy goes back), remove
// updater.ini and start the install center again. Every step is written to
// updater.log; whatever fails, the user is told once and the install center
// that was there before stays in place and runnable.
#include <functional>
#include <string>

#include "updater/UpdaterLog.h"

namespace twi::updater {

class UpdateRun {
 public:
  // Exit codes of the update program.
  static constexpr int kUpdated = 0;
  static constexpr int kNotUpdated = 1;        // the install center was left as it was
  static constexpr int kStillRunning = 2;      // the install center did not close

  // `starterPid`: the process that started us. When it is the install center of
  // this folder we wait for its windows with the caption and for its end; else
  // (started by hand, or by a test) any window with the caption counts.
  UpdateRun(std::string programFolder, std::string caption, unsigned long starterPid = 0);

  int Run();

  // Shows a failure to the user (a message box in the program; tests record it).
  std::function<void(const std::string& message)> Tell;
  // How long the install center may take to close.
  double CloseTimeoutSeconds = 30;

  const UpdaterLog& Log() const { return log_; }

 private:
  bool WaitForInstallCenterToClose();
  bool ReadPackageName(std::string& name);
  int InstallPackage(const std::string& name);
  bool RunPackage(const std::string& path, long& exitCode, std::string& why);
  void PutBackPrevious();
  void StartInstallCenter();
  int Fail(int code, const std::string& message);

  bool InstallCenterWindowOpen() const;

  std::string folder_;
  std::string caption_;
  unsigned long installCenterPid_ = 0;  // 0: not known
  std::string installCenter_;
  std::string previous_;
  std::string handOver_;
  UpdaterLog log_;
  double deadline_ = 0;
};

}  // namespace twi::updater
