#include "support/InstallerSupport.h"

#include <objbase.h>

#include <chrono>

#include "base/AppInfo.h"
#include "base/FileSystem.h"
#include "base/FindHandle.h"
#include "base/TextConv.h"
#include "settings/cSHAREDSettings.h"
#include "support/StandIns.h"
#include "support/TestServers.h"

namespace twitest {
namespace {

std::set<std::string> NamesIn(const std::string& folder) {
  std::set<std::string> names;
  twi::FindHandle find(folder + "\\*");
  if (!find.Found()) return names;
  do {
    std::string name = twi::ToUtf8(find.Data().cFileName);
    if (name != "." && name != "..") names.insert(name);
  } while (find.Next());
  return names;
}

void CopyTree(const std::string& from, const std::string& to) {
  CreateDirectoryW(twi::ToWide(to).c_str(), nullptr);
  for (const std::string& name : NamesIn(from)) {
    std::string source = from + "\\" + name, target = to + "\\" + name;
    DWORD attributes = GetFileAttributesW(twi::ToWide(source).c_str());
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
      CopyTree(source, target);
    else
      CopyFileW(twi::ToWide(source).c_str(), twi::ToWide(target).c_str(), FALSE);
  }
}

bool EndsWithNoCase(const std::string& text, const std::string& end) {
  return text.size() >= end.size() &&
         twi::UpperAscii(text.substr(text.size() - end.size())) == twi::UpperAscii(end);
}

std::string Folder(UINT(WINAPI* get)(LPWSTR, UINT)) {
  wchar_t buffer[MAX_PATH] = {};
  get(buffer, MAX_PATH);
  return twi::ToUtf8(buffer) + "\\";
}

// Names the install center's runs leave in their program folder on purpose.
bool BelongsToTheRun(const std::string& name) {
  return name == "log.txt" || name == "TWInstaller.ini" || name == "Runtimes";
}

}  // namespace

std::string SystemFolder() { return Folder(GetSystemDirectoryW); }
std::string WindowsFolder() { return Folder(GetWindowsDirectoryW); }

bool RunsOn64BitWindows() {
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

std::string SystemFolderAtBoot() {
  return RunsOn64BitWindows() ? Folder(GetSystemWow64DirectoryW) : SystemFolder();
}

void PublishMakersServers() {
  CopyTree(WindowsPathOf(std::string(TWI_FIXTURE_DIR) + "/servers"), HttpRoot());
  twi::TheSettings().sSet("MainServer", HttpUrl("/files/main/"));
  twi::TheSettings().sSet("SecondaryServer", HttpUrl("/files/second/"));
}

std::string ServedFile(const std::string& relative) {
  std::string path = HttpRoot() + "\\" + relative;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::string ServedUrl(const std::string& relative) { return HttpUrl("/files/" + relative); }

InstallSandbox::InstallSandbox()
    : program_(NamesIn(twi::AppFolder())),
      system_(NamesIn(SystemFolder().substr(0, SystemFolder().size() - 1))),
      initFile_(WindowsFolder() + "wininit.ini") {
  hadInitFile_ = PathExists(initFile_);
  if (hadInitFile_) CopyFileW(twi::ToWide(initFile_).c_str(),
                              twi::ToWide(initFile_ + ".sandbox").c_str(), FALSE);
}

std::vector<std::string> InstallSandbox::NewInProgramFolder() const {
  std::vector<std::string> added;
  for (const std::string& name : NamesIn(twi::AppFolder()))
    if (!program_.count(name) && !BelongsToTheRun(name)) added.push_back(name);
  return added;
}

std::vector<std::string> InstallSandbox::NewInSystemFolder() const {
  std::vector<std::string> added;
  std::string folder = SystemFolder();
  for (const std::string& name : NamesIn(folder.substr(0, folder.size() - 1)))
    if (!system_.count(name)) added.push_back(name);
  return added;
}

InstallSandbox::~InstallSandbox() {
  // Objects of the stand-ins this process loaded are gone; let their DLLs go too.
  CoFreeUnusedLibrariesEx(0, 0);
  for (const std::string& name : NewInSystemFolder()) {
    std::string path = SystemFolder() + name;
    if (EndsWithNoCase(name, ".ocx") || EndsWithNoCase(name, ".dll")) RunRegsvr32(path, true);
    twi::RemoveTree(path);
  }
  for (const std::string& name : NewInProgramFolder())
    twi::RemoveTree(twi::AppFolder() + "\\" + name);
  twi::RemoveTree(initFile_);
  if (hadInitFile_) MoveFileW(twi::ToWide(initFile_ + ".sandbox").c_str(),
                              twi::ToWide(initFile_).c_str());
}

HeldOpen::HeldOpen(const std::string& path) {
  auto heldByOther = [&] {
    HANDLE file = CreateFileW(twi::ToWide(path).c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(file);
    return false;
  };
  // A program start under Wine on a busy machine now and then fails or stalls:
  // up to three tries, each told apart in the failure message.
  std::string tries;
  for (int attempt = 1; attempt <= 3 && !holding_; ++attempt) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring line =
        L"\"" + twi::ToWide(ProbeExe()) + L"\" hold \"" + twi::ToWide(path) + L"\" 300";
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process_)) {
      tries += " start failed (" + std::to_string(GetLastError()) + ");";
      process_ = {};
      continue;
    }
    // Held once nobody else may open the file for writing.
    holding_ = PumpUntil(
        [&] { return heldByOther() || WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; },
        std::chrono::seconds(20)) &&
        heldByOther();
    if (holding_) break;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    tries += " probe exit code " + std::to_string(code) + ";";
    Release();
  }
  EXPECT_TRUE(holding_) << path << " is not held open:" << tries;
}

void HeldOpen::Release() {
  if (!process_.hProcess) return;
  TerminateProcess(process_.hProcess, 0);
  WaitForSingleObject(process_.hProcess, 10000);
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
  process_ = {};
  holding_ = false;
}

long SimulateReboot() {
  std::string output;
  return RunAndCapture("\"" + SystemFolder() + "wineboot.exe\" -r", output);
}

}  // namespace twitest
