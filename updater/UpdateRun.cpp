#include "updater/UpdateRun.h"

#include <windows.h>

#include "base/Clock.h"
#include "base/FileSystem.h"
#include "base/RuntimeError.h"
#include "base/TextConv.h"
#include "base/UniqueHandle.h"
#include "updater/Processes.h"
#include "updater/ProgramStart.h"
#include "updater/ProgramFile.h"

namespace twi::updater {
namespace {

constexpr DWORD kPollMs = 100;
constexpr DWORD kEndWaitMs = 30000;  // for a process told to end

std::string ReadWholeFile(const std::string& path, bool& found) {
  UniqueHandle file(CreateFileW(ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  found = static_cast<bool>(file);
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (file && ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0 &&
         bytes.size() < 65536)
    bytes.append(buffer, got);
  return bytes;
}

// A package name is a plain file name in the program folder.
bool IsPlainFileName(const std::string& name) {
  return !name.empty() && name.find_first_of("\\/:*?\"<>|") == std::string::npos &&
         name != "." && name != "..";
}

constexpr const char* kUnchanged = "The install center was not changed.";
constexpr const char* kRepaired =
    "An earlier update of the install center did not finish, so the install center it had kept "
    "aside was put back.";

std::string Described(unsigned long win32Error) {
  return RuntimeError::FromWin32(win32Error).Description();
}

std::string FileName(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

}  // namespace

UpdateRun::UpdateRun(std::string programFolder, std::string caption, unsigned long starterPid)
    : folder_(std::move(programFolder)),
      caption_(std::move(caption)),
      installCenter_(folder_ + "\\TWInstall.exe"),
      kept_(installCenter_),
      handOver_(folder_ + "\\updater.ini"),
      log_(folder_ + "\\updater.log") {
  // The handle first: while it is open, the process id cannot pass to another
  // process, so the program file read next is the starter's own.
  installCenterProcess_.Reset(OpenProcess(SYNCHRONIZE, FALSE, starterPid));
  if (!RunsProgram(starterPid, installCenter_)) installCenterProcess_.Reset();
}

int UpdateRun::Run() {
  log_.Write("Update program started for \"" + caption_ + "\" in " + folder_);
  PauseAt("started");
  WaitForInstallCenterToEnd();
  MakeInstallCenterWritable();
  if (!WaitUntilInstallCenterIsFree()) return LeaveInstallCenterInUse();
  bool repaired = false;
  std::string failure;
  if (!RepairUnfinishedUpdate(repaired, failure)) return Finish(kNotUpdated, failure);
  std::string name;
  bool handedOver = ReadPackageName(name);
  PauseAt("handed-over");
  if (!handedOver)
    return Finish(kNotUpdated,
                  repaired ? kRepaired
                           : "There is no update to install (updater.ini is missing, empty or not "
                             "valid). " + std::string(kUnchanged));
  return InstallPackage(name);
}

// However long it takes: the install center may be showing its last message
// boxes (the reboot reminder, a full disk, an error report), and its user may
// take their time.
void UpdateRun::WaitForInstallCenterToEnd() {
  if (!installCenterProcess_) return;
  log_.Write("Waiting for the install center to end");
  WaitForSingleObject(installCenterProcess_.Get(), INFINITE);
  log_.Write("The install center has ended");
}

// A read-only install center (copied from a CD, say) could be neither tested for
// being free nor replaced by the package.
void UpdateRun::MakeInstallCenterWritable() {
  if (!IsExistingFile(installCenter_) ||
      (GetFileAttributesW(ToWide(installCenter_).c_str()) & FILE_ATTRIBUTE_READONLY) == 0)
    return;
  if (unsigned long error = MakeWritable(installCenter_))
    log_.Write("TWInstall.exe is read-only and could not be made writable: " + Described(error));
  else
    log_.Write("TWInstall.exe was read-only: made it writable");
}

// Once it has ended, Windows may hold its program file a moment longer.
bool UpdateRun::WaitUntilInstallCenterIsFree() {
  const double deadline = ClockSeconds() + CloseTimeoutSeconds;
  while (!(hold_ = HoldOn(installCenter_)).Free()) {
    if (ClockSeconds() >= deadline) return false;
    Sleep(kPollMs);
  }
  return true;
}

// updater.ini stays: a later run of the update program can still install it.
int UpdateRun::LeaveInstallCenterInUse() {
  const std::string seconds = std::to_string(static_cast<int>(CloseTimeoutSeconds)) + " seconds";
  if (hold_.running)
    return Fail(kInUse, "The install center was still running from TWInstall.exe after " + seconds +
                            ", so it was not updated. Close it and start Updater.exe again to "
                            "install the update.");
  return Finish(kInUse, "TWInstall.exe could not be opened for writing for " + seconds + " (" +
                            Described(hold_.openError) +
                            "), so the install center was not updated.");
}

// A kept copy beside the install center means that an earlier run was ended
// part-way (killed, or the computer went off): the copy goes back, whatever the
// package had done by then. False, with the message, when it cannot.
bool UpdateRun::RepairUnfinishedUpdate(bool& repaired, std::string& failure) {
  if (kept_.HasPartOfOne()) {
    kept_.DiscardPart();
    log_.Write("Removed a copy of the install center that was cut short");
  }
  if (!kept_.Exists()) return true;
  log_.Write("An earlier update did not finish: putting back " + kept_.Path());
  if (unsigned long error = kept_.PutBack()) {
    log_.Write("Could not put the previous install center back: " + Described(error));
    failure = "An earlier update of the install center did not finish, and the install center "
              "it had kept aside " + CouldNotBePutBack(error);
    return false;
  }
  log_.Write("Put the previous install center back");
  repaired = true;
  return true;
}

bool UpdateRun::ReadPackageName(std::string& name) {
  bool found = false;
  name = Trim(AnsiToUtf8(ReadWholeFile(handOver_, found)));
  while (!name.empty() && (name.back() == '\r' || name.back() == '\n')) name.pop_back();
  if (!found) {
    log_.Write("No updater.ini in the program folder");
    return false;
  }
  log_.Write("updater.ini names the package \"" + name + "\"");
  // Read once: a failed update is not tried again at the next start.
  if (RemoveFile(handOver_) == 0) log_.Write("Removed updater.ini");
  return IsPlainFileName(name);
}

int UpdateRun::InstallPackage(const std::string& name) {
  const std::string package = folder_ + "\\" + name;
  const std::string thePackage = "The update package " + name;
  if (!IsExistingFile(package))
    return Finish(kNotUpdated, thePackage + " was not found. " + kUnchanged);
  if (unsigned long error = KeepInstallCenter())
    return Finish(kNotUpdated, "The install center could not be kept aside before the update (" +
                                   Described(error) + "). " + kUnchanged);
  log_.Write("Kept the install center as " + kept_.Path());
  PauseAt("kept");
  std::string failure = RunAndCheckPackage(package, thePackage);
  if (failure.empty() && !StartNewInstallCenter(failure)) {
    WaitUntilInstallCenterIsFree();  // the new program may still hold its file a moment
    failure = thePackage + " left an install center that " + failure + ".";
  }
  if (!failure.empty()) return Finish(kNotUpdated, failure + " " + Restore());
  PauseAt("new-shown");
  kept_.Discard();
  log_.Write("Update installed");
  return kUpdated;
}

// Why what the package left is not taken for a new install center; "" when it is.
std::string UpdateRun::RunAndCheckPackage(const std::string& package,
                                          const std::string& thePackage) {
  long exitCode = 0;
  std::string why;
  if (!RunPackage(package, exitCode, why)) return thePackage + " could not be run (" + why + ").";
  if (exitCode != 0) return thePackage + " ended with error code " + std::to_string(exitCode) + ".";
  if (!IsRunnableProgram(installCenter_))
    return thePackage + " did not leave a working install center.";
  // A package that ended at once, leaving its work to a child, or did nothing.
  if (kept_.SameAsOriginal())
    return thePackage + " ended with code 0 but left TWInstall.exe as it was.";
  return "";
}

// The copy is kept until the new program has come up: a file cut short may still
// look like a program, and only a start shows it. False, with `why`, when it could
// not be started, ended without a window, or showed none in time (it is ended then).
bool UpdateRun::StartNewInstallCenter(std::string& why) {
  StartedProcess started = StartProgramFile(installCenter_, folder_, why);
  if (!started.handle) {
    log_.Write("Could not start the new install center: " + why);
    why = "could not be started (" + why + ")";
    return false;
  }
  log_.Write("Started the install center again");
  PauseAt("new-started");
  if (!WaitForFirstWindow(started, why)) {
    log_.Write("The new install center " + why);
    return false;
  }
  log_.Write("The new install center shows its window");
  return true;
}

bool UpdateRun::WaitForFirstWindow(const StartedProcess& started, std::string& why) const {
  const double deadline = ClockSeconds() + WindowTimeoutSeconds;
  while (!ShowsAWindow(started.id)) {
    DWORD code = 0;
    if (WaitForSingleObject(started.handle.Get(), kPollMs) == WAIT_OBJECT_0 &&
        GetExitCodeProcess(started.handle.Get(), &code)) {
      why = "ended without showing a window (exit code " + std::to_string(code) + ")";
      return false;
    }
    if (ClockSeconds() >= deadline) {
      why = "showed no window within " + std::to_string(static_cast<int>(WindowTimeoutSeconds)) +
            " seconds";
      TerminateProcess(started.handle.Get(), 1);
      WaitForSingleObject(started.handle.Get(), kEndWaitMs);
      return false;
    }
  }
  return true;
}

unsigned long UpdateRun::KeepInstallCenter() {
  if (unsigned long error = kept_.CopyAside()) return error;
  PauseAt("keeping");
  unsigned long error = kept_.Complete();
  if (error) kept_.DiscardPart();
  return error;
}

bool UpdateRun::RunPackage(const std::string& path, long& exitCode, std::string& why) {
  log_.Write("Running " + path);
  UniqueHandle process = StartProgramFile(path, folder_, why).handle;
  if (!process) {
    log_.Write("The package could not be started: " + why);
    return false;
  }
  PauseAt("package-running");
  WaitForSingleObject(process.Get(), INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.Get(), &code);
  exitCode = static_cast<long>(code);
  log_.Write("The package ended with code " + std::to_string(exitCode));
  PauseAt("package-ended");
  return true;
}

// After a package that failed: the install center as it was before, and what is
// true of it now, as the sentence that ends the message.
std::string UpdateRun::Restore() {
  if (kept_.SameAsOriginal()) {
    kept_.Discard();
    return kUnchanged;
  }
  if (unsigned long error = kept_.PutBack()) {
    log_.Write("Could not put the previous install center back: " + Described(error));
    return "The previous install center " + CouldNotBePutBack(error);
  }
  log_.Write("Put the previous install center back");
  return "The previous install center was put back.";
}

// The end of a message: where the copy is, and the one way to put it back.
std::string UpdateRun::CouldNotBePutBack(unsigned long error) const {
  return "could not be put back (" + Described(error) + "): it is kept as " +
         FileName(kept_.Path()) + ", and starting Updater.exe again puts it back.";
}

// "" when started, else why not.
std::string UpdateRun::StartInstallCenter() {
  std::string why;
  if (!StartProgramFile(installCenter_, folder_, why).handle) {
    log_.Write("Could not start the install center again: " + why);
    return why;
  }
  log_.Write("Started the install center again");
  return "";
}

// Starts the install center again and tells `message` (none when ""), with what
// became of the start when it failed.
int UpdateRun::Finish(int code, std::string message) {
  std::string why = StartInstallCenter();
  if (message.empty()) return code;
  if (!why.empty()) message += " The install center could not be started again (" + why + ").";
  return Fail(code, message);
}

// For the tests of a run cut short: with the environment variable
// TWI_UPDATER_PAUSE naming `step`, the run stops there (logging "Paused at
// <step>") until it is ended from outside, as if it were killed at that point.
void UpdateRun::PauseAt(const char* step) const {
  wchar_t value[64] = {};
  DWORD length = GetEnvironmentVariableW(L"TWI_UPDATER_PAUSE", value, 64);
  if (length == 0 || length >= 64 || ToUtf8(value) != step) return;
  log_.Write(std::string("Paused at ") + step);
  for (;;) Sleep(INFINITE);
}

int UpdateRun::Fail(int code, const std::string& message) {
  log_.Write(message);
  if (Tell) Tell(message);
  return code;
}

}  // namespace twi::updater
