#include "updater/UpdateRun.h"

#include <windows.h>

#include "base/Clock.h"
#include "base/FileSystem.h"
#include "base/RuntimeError.h"
#include "base/TextConv.h"
#include "base/UniqueHandle.h"
#include "updater/Processes.h"
#include "updater/ProgramFile.h"

namespace twi::updater {
namespace {

constexpr DWORD kPollMs = 100;

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

std::string LastErrorText() { return RuntimeError::FromLastError().Description(); }

}  // namespace

UpdateRun::UpdateRun(std::string programFolder, std::string caption, unsigned long starterPid)
    : folder_(std::move(programFolder)),
      caption_(std::move(caption)),
      installCenter_(folder_ + "\\TWInstall.exe"),
      previous_(folder_ + "\\TWInstall.exe.previous"),
      handOver_(folder_ + "\\updater.ini"),
      log_(folder_ + "\\updater.log") {
  // The handle first: while it is open, the process id cannot pass to another
  // process, so the program file read next is the starter's own.
  installCenterProcess_.Reset(OpenProcess(SYNCHRONIZE, FALSE, starterPid));
  if (!RunsProgram(starterPid, installCenter_)) installCenterProcess_.Reset();
}

int UpdateRun::Run() {
  log_.Write("Update program started for \"" + caption_ + "\" in " + folder_);
  WaitForInstallCenterToEnd();
  MakeInstallCenterWritable();
  if (!WaitUntilInstallCenterIsFree()) return LeaveInstallCenterInUse();
  std::string name;
  if (!ReadPackageName(name)) {
    StartInstallCenter();
    return Fail(kNotUpdated,
                "There is no update to install (updater.ini is missing, empty or not valid). "
                "The install center was not changed.");
  }
  int result = InstallPackage(name);
  StartInstallCenter();
  return result;
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
    log_.Write("TWInstall.exe is read-only and could not be made writable: " +
               RuntimeError::FromWin32(error).Description());
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
  StartInstallCenter();
  return Fail(kInUse, "TWInstall.exe could not be opened for writing for " + seconds + " (" +
                          RuntimeError::FromWin32(hold_.openError).Description() +
                          "), so the install center was not updated.");
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
  if (!IsExistingFile(package))
    return Fail(kNotUpdated, "The update package " + name +
                                 " was not found. The install center was not changed.");
  if (!CopyFileW(ToWide(installCenter_).c_str(), ToWide(previous_).c_str(), FALSE))
    return Fail(kNotUpdated, "The install center could not be kept aside before the update (" +
                                 LastErrorText() + "). Nothing was changed.");
  log_.Write("Kept the install center as " + previous_);
  long exitCode = 0;
  std::string why;
  if (!RunPackage(package, exitCode, why)) {
    PutBackPrevious();
    return Fail(kNotUpdated, "The update package " + name + " could not be run (" + why +
                                 "). The install center was not changed.");
  }
  if (exitCode != 0) {
    PutBackPrevious();
    return Fail(kNotUpdated, "The update package " + name + " ended with error code " +
                                 std::to_string(exitCode) +
                                 ". The install center was not changed.");
  }
  if (!IsRunnableProgram(installCenter_)) {
    PutBackPrevious();
    return Fail(kNotUpdated, "The update package " + name +
                                 " did not leave a working install center. The previous install "
                                 "center was put back.");
  }
  RemoveFile(previous_);
  log_.Write("Update installed");
  return kUpdated;
}

bool UpdateRun::RunPackage(const std::string& path, long& exitCode, std::string& why) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  std::wstring line = L"\"" + ToWide(path) + L"\"";
  std::wstring folder = ToWide(folder_);
  log_.Write("Running " + path);
  if (!CreateProcessW(ToWide(path).c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &process)) {
    why = LastErrorText();
    log_.Write("The package could not be started: " + why);
    return false;
  }
  UniqueHandle thread(process.hThread), handle(process.hProcess);
  WaitForSingleObject(handle.Get(), INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(handle.Get(), &code);
  exitCode = static_cast<long>(code);
  log_.Write("The package ended with code " + std::to_string(exitCode));
  return true;
}

void UpdateRun::PutBackPrevious() {
  if (unsigned long error = ReplaceFileWith(previous_, installCenter_))
    log_.Write("Could not put the previous install center back: " +
               RuntimeError::FromWin32(error).Description());
  else
    log_.Write("Put the previous install center back");
}

void UpdateRun::StartInstallCenter() {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  std::wstring line = L"\"" + ToWide(installCenter_) + L"\"";
  std::wstring folder = ToWide(folder_);
  if (!CreateProcessW(ToWide(installCenter_).c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, folder.c_str(), &startup, &process)) {
    log_.Write("Could not start the install center again: " + LastErrorText());
    return;
  }
  UniqueHandle thread(process.hThread), handle(process.hProcess);
  log_.Write("Started the install center again");
}

int UpdateRun::Fail(int code, const std::string& message) {
  log_.Write(message);
  if (Tell) Tell(message);
  return code;
}

}  // namespace twi::updater
