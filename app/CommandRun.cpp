#include "app/CommandRun.h"

#include <set>
#include <vector>

#include "app/Console.h"
#include "app/RunLock.h"
#include "app/UnattendedAnswers.h"
#include "app/frmMain.h"
#include "base/AppInfo.h"
#include "base/DoEvents.h"
#include "base/Trap.h"
#include "diag/cSharedLogging.h"
#include "install/Catalogue.h"
#include "settings/cSHAREDSettings.h"
#include "sys/cSharedFileSubs.h"
#include "ui/MsgBox.h"
#include "update/fSHAREDUpdater.h"

namespace twi {
namespace {

std::string Meaning(int code) {
  switch (code) {
    case exitcode::kSuccess: return "done";
    case exitcode::kScanFailed: return "a runtime fails";
    case exitcode::kFailed: return "failed";
    case exitcode::kRebootRequired: return "done; restart Windows to finish";
    default: return "";
  }
}

// /server for this run only: MainServer is set in the settings while the run
// works and put back as it was before they are saved.
class ServerForThisRun {
 public:
  explicit ServerForThisRun(const std::string& server) : server_(server) {
    if (server_.empty()) return;
    had_ = TheSettings().IsSettingPresent("MainServer");
    before_ = TheSettings().sGet("MainServer");
    TheSettings().sSet("MainServer", server_);
  }
  void PutBack() {
    if (server_.empty()) return;
    if (had_)
      TheSettings().sSet("MainServer", before_);
    else
      TheSettings().DeleteSetting("MainServer");
    server_.clear();
  }

 private:
  std::string server_;
  bool had_ = false;
  Variant before_;
};

class CommandRun {
 public:
  CommandRun(const CommandRequest& request, Console& console, RunLock& lock)
      : request_(request), console_(console), lock_(lock) {}
  [[noreturn]] void Run(const std::string& argumentsText, bool afterAbandoned);

 private:
  int Scan();
  int Install();
  int Update();
  ScanOutcome ScanAndShow();
  std::vector<std::string> FailedComponents();
  bool InstallComponent(const std::string& key, std::set<std::string>& waitingForReboot);
  bool InstallProgram();
  [[noreturn]] void Finish(int code);
  void Status(const std::string& text) { main_.SetStatus(text); }

  const CommandRequest& request_;
  Console& console_;
  RunLock& lock_;
  frmMain main_;
  int exitCode_ = exitcode::kFailed;
  std::unique_ptr<ServerForThisRun> server_;
};

void CommandRun::Run(const std::string& argumentsText, bool afterAbandoned) {
  main_.CommandRun = true;
  main_.EndProcess = [this] {
    lock_.Release();
    ExitProcess(static_cast<UINT>(exitCode_));
  };
  main_.Load();  // starts the log afresh and loads the settings; never shown
  TheLog().LogEvent("Command line: " + argumentsText, false);
  if (afterAbandoned)
    TheLog().LogEvent("An earlier run here ended before it was done.", false);
  std::function<void()> logStatus = main_.lblStatus.OnChange;
  main_.lblStatus.OnChange = [this, logStatus] {
    if (logStatus) logStatus();
    if (!main_.Status().empty()) console_.Line(main_.Status());
  };
  server_ = std::make_unique<ServerForThisRun>(request_.server);
  if (!request_.program.empty()) {
    int row = 0;
    for (const ProgramEntry& entry : Catalogue()) {
      if (entry.ListText == request_.program) Ignoring([&] { main_.cmbPrograms.SetListIndex(row); });
      ++row;
    }
  }
  int code = exitcode::kFailed;
  std::optional<RuntimeError> error = Trapping([&] {
    if (request_.kind == CommandKind::Scan) code = Scan();
    if (request_.kind == CommandKind::Install) code = Install();
    if (request_.kind == CommandKind::Update) code = Update();
  });
  if (error) Status(error->Description());
  Finish(error ? exitcode::kFailed : code);
}

void CommandRun::Finish(int code) {
  exitCode_ = code;
  std::string line = "Exit code: " + std::to_string(code) + " (" + Meaning(code) + ")";
  TheLog().LogEvent(line, false);
  console_.Line(line);
  server_->PutBack();
  main_.ExitProgram();  // saves the settings and ends the process with exitCode_
  ExitProcess(static_cast<UINT>(exitCode_));
}

ScanOutcome CommandRun::ScanAndShow() {
  const ScanOutcome outcome = main_.Scan.Scan();
  for (int row = 0; row < main_.Scan.NextRow(); ++row)
    Ignoring([&] {
      console_.Line("  " + main_.lblControlName[row].Caption() + ": " +
                    (main_.lblFail[row].Visible() ? "Fail" : "OK"));
    });
  return outcome;
}

std::vector<std::string> CommandRun::FailedComponents() {
  std::vector<std::string> keys;
  for (int row = 0; row < main_.Scan.NextRow(); ++row)
    Ignoring([&] {
      if (main_.lblFail[row].Visible()) keys.push_back(main_.cmdInstall[row].Tag);
    });
  return keys;
}

int CommandRun::Scan() {
  return ScanAndShow() == ScanOutcome::AllPassed ? exitcode::kSuccess : exitcode::kScanFailed;
}

bool CommandRun::InstallComponent(const std::string& key, std::set<std::string>& waitingForReboot) {
  const bool rebootBefore = main_.RebootNeeded;
  main_.RebootNeeded = false;
  main_.DisableControls();
  std::optional<RuntimeError> error = Trapping([&] { main_.Installer.InstallComponent(key); });
  main_.EnableControls();
  if (main_.RebootNeeded) waitingForReboot.insert(key);
  main_.RebootNeeded = main_.RebootNeeded || rebootBefore;
  if (error) {
    Status(error->Description());
    DoEvents();
  }
  return !error;
}

int CommandRun::Install() {
  ScanAndShow();
  std::vector<std::string> missing = FailedComponents();
  std::set<std::string> waitingForReboot;
  bool failed = false;
  // The Internet control (row 0) first: without it nothing else is installed.
  if (!missing.empty() && missing.front() == "MSINET") {
    failed = !InstallComponent("MSINET", waitingForReboot);
    main_.Scan.TestMSINET();
    missing.erase(missing.begin());
  }
  if (!main_.Scan.InetOK()) {
    Status(install::RuntimeInstaller::kInternetControlFirst);
    failed = true;
  } else {
    // A raised error (a transfer that could not be made) ends the installs: the
    // next would wait as long for the same server.
    for (const std::string& key : missing)
      if (!InstallComponent(key, waitingForReboot)) {
        failed = true;
        break;
      }
  }
  if (request_.withProgram && !failed && !InstallProgram()) failed = true;
  const bool scanned = ScanAndShow() != ScanOutcome::Stopped;
  for (const std::string& key : FailedComponents())
    if (!waitingForReboot.count(key)) failed = true;
  if (failed || !scanned) return exitcode::kFailed;
  return waitingForReboot.empty() ? exitcode::kSuccess : exitcode::kRebootRequired;
}

bool CommandRun::InstallProgram() {
  if (!main_.Scan.InetOK()) {
    Status(install::ProgramInstaller::kInternetControlMissing);
    return false;
  }
  const ProgramEntry* entry = FindProgramByKey(CatalogueKeyOf(request_.program));
  if (!entry) return false;
  main_.DisableControls();
  bool ran = false;
  std::optional<RuntimeError> error = Trapping([&] {
    const std::string address = main_.ProgramInstall.GetDownloadInfo(VersionFileAddress(*entry));
    if (address.empty()) {
      Status("Could not retrieve program info");
      return;
    }
    ran = main_.ProgramInstall.DownloadAndInstallProgram(address, request_.program,
                                                         TheFileSubs().FileOnly(address));
  });
  main_.EnableControls();
  if (error) Status(error->Description());
  return ran;
}

int CommandRun::Update() {
  fSHAREDUpdater& updater = main_.UpdaterObject();
  Ignoring([&] { updater.Load(); });  // loaded for its controls, never shown
  Status("Checking for a newer install center");
  const bool newer = updater.CheckForUpdate(true, frmMain::SelfUpdateVersionFile(), "",
                                            frmMain::kUpdatePackage);
  if (!newer) {
    // A version file that was read and parsed names the package; without one
    // the check failed.
    if (updater.ProgURL.empty()) {
      Status("The update check failed: the version file could not be read.");
      return exitcode::kFailed;
    }
    Status("The install center is up to date.");
    return exitcode::kSuccess;
  }
  Status("Downloading " + updater.ProgURL);
  if (!updater.DownloadFile(AppFolder() + "\\", frmMain::kUpdatePackage, updater.ProgURL, false)) {
    Status("The update could not be downloaded.");
    return exitcode::kFailed;
  }
  Status("Handing the update to Updater.exe");
  exitCode_ = exitcode::kSuccess;
  std::string line = "Exit code: 0 (" + Meaning(exitCode_) + ")";
  TheLog().LogEvent(line, false);
  console_.Line(line);
  server_->PutBack();
  main_.Updater_InstallFile();  // ends the process when Updater.exe has started
  server_ = std::make_unique<ServerForThisRun>(request_.server);
  return exitcode::kFailed;
}

int ShowUsage(const CommandRequest& request, Console& console) {
  const int code = request.error.empty() ? exitcode::kSuccess : exitcode::kBadCommandLine;
  std::string text = request.error.empty() ? UsageText() : request.error + "\r\n\r\n" + UsageText();
  console.Line(text);
  if (!request.quiet) ui::MsgBox(text);
  return code;
}

}  // namespace

int RunCommand(const CommandRequest& request, const std::string& argumentsText) {
  Console console;
  if (request.kind == CommandKind::Usage) return ShowUsage(request, console);
  RunLock lock(AppFolder());
  const LockResult locked = lock.Acquire(request.waitSeconds);
  if (locked == LockResult::Busy) {
    console.Line("Another run of the install center is working in " + AppFolder() +
                 "; nothing was done. Exit code: " + std::to_string(exitcode::kAnotherRunBusy));
    return exitcode::kAnotherRunBusy;
  }
  AnswerForCommandRun(request.quiet, console);
  CommandRun run(request, console, lock);
  run.Run(argumentsText, locked == LockResult::HeldAfterAbandoned);
}

}  // namespace twi
