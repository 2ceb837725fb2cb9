#pragma once
// One run of the update program. The install center wrote the package's file
// name into updater.ini, started us with its main window's caption and ends
// itself. We wait until its process has ended and its program file is free, keep
// a copy of the install center, run the package from the program folder and wait
// for it, and accept what it left only when it ended with code 0 and replaced
// TWInstall.exe by another runnable program; otherwise the copy goes back. Then
// the install center is started again. Every step is written to updater.log;
// whatever fails, the user is told once what happened and what is true of the
// install center now.
#include <functional>
#include <string>

#include "base/UniqueHandle.h"
#include "updater/FileHold.h"
#include "updater/KeptCopy.h"
#include "updater/ProgramStart.h"
#include "updater/UpdaterLog.h"

namespace twi::updater {

class UpdateRun {
 public:
  // Exit codes of the update program.
  static constexpr int kUpdated = 0;
  static constexpr int kNotUpdated = 1;  // the update failed or there was none to install
  static constexpr int kInUse = 2;       // TWInstall.exe stayed in use: nothing was changed

  // `starterPid`: the process that started us. When it runs this folder's
  // TWInstall.exe, it is the install center, and we wait for it to end however
  // long that takes (its user may be answering its last message boxes). The
  // caption is only recorded.
  UpdateRun(std::string programFolder, std::string caption, unsigned long starterPid = 0);

  int Run();

  // Shows a failure to the user (a message box in the program; tests record it).
  std::function<void(const std::string& message)> Tell;
  // How long TWInstall.exe may stay in use once the install center has ended.
  double CloseTimeoutSeconds = 30;
  // How long a new install center may take to show its first window.
  double WindowTimeoutSeconds = 120;

  const UpdaterLog& Log() const { return log_; }

 private:
  void WaitForInstallCenterToEnd();
  void MakeInstallCenterWritable();
  bool WaitUntilInstallCenterIsFree();
  int LeaveInstallCenterInUse();
  bool RepairUnfinishedUpdate(bool& repaired, std::string& failure);
  bool ReadPackageName(std::string& name);
  int InstallPackage(const std::string& name);
  unsigned long KeepInstallCenter();
  bool RunPackage(const std::string& path, long& exitCode, std::string& why);
  std::string RunAndCheckPackage(const std::string& package, const std::string& thePackage);
  bool StartNewInstallCenter(std::string& why);
  bool WaitForFirstWindow(const StartedProcess& started, std::string& why) const;
  std::string Restore();
  std::string CouldNotBePutBack(unsigned long error) const;
  std::string StartInstallCenter();
  int Finish(int code, std::string message);
  int Fail(int code, const std::string& message);
  void PauseAt(const char* step) const;

  std::string folder_;
  std::string caption_;
  UniqueHandle installCenterProcess_;  // empty: not started by the install center
  std::string installCenter_;
  KeptCopy kept_;
  std::string handOver_;
  UpdaterLog log_;
  FileHold hold_;  // what held TWInstall.exe when last looked at
};

}  // namespace twi::updater
