#pragma once
// Helpers of the runtime installer's tests: the maker's two web servers laid out
// on the fixture HTTP server from the stand-in packages, the undoing of what an
// install leaves behind (program folder, system folder and registrations,
// wininit.ini), a file held open by another process, and a simulated reboot.
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace twitest {

// Copies the stand-in servers (build/fixtures/servers) under the fixture HTTP
// server's /files/ and points the settings keys MainServer and SecondaryServer
// at /files/main/ and /files/second/. Call after the main window has loaded its
// settings.
void PublishMakersServers();
// The Windows path of a file the fixture server serves as /files/<relative>.
std::string ServedFile(const std::string& relative);
// The address of /files/<relative> on the fixture server.
std::string ServedUrl(const std::string& relative);

// Snapshots the program folder, the system folder and the Windows folder's
// wininit.ini; when destroyed, unregisters and removes every control or
// library that appeared in the system folder, removes what appeared in the
// program folder, and puts wininit.ini back as it was.
class InstallSandbox {
 public:
  InstallSandbox();
  ~InstallSandbox();
  InstallSandbox(const InstallSandbox&) = delete;
  InstallSandbox& operator=(const InstallSandbox&) = delete;
  // Names that appeared in the program folder since the snapshot.
  std::vector<std::string> NewInProgramFolder() const;
  // Names that appeared in the system folder since the snapshot.
  std::vector<std::string> NewInSystemFolder() const;

 private:
  std::set<std::string> program_, system_;
  bool hadInitFile_ = false;
  std::string initFile_;
};

// Keeps a file open from another process (the probe), reading only and
// sharing reading only, as a running program holds a control it has loaded.
class HeldOpen {
 public:
  explicit HeldOpen(const std::string& path);
  ~HeldOpen() { Release(); }
  HeldOpen(const HeldOpen&) = delete;
  HeldOpen& operator=(const HeldOpen&) = delete;
  bool Holding() const { return holding_; }
  void Release();

 private:
  PROCESS_INFORMATION process_{};
  bool holding_ = false;
};

// Runs "wineboot.exe -r" (Windows' start-up work after a reboot: wininit.ini's
// [rename] section and the pending delayed moves) and waits; its exit code.
long SimulateReboot();

// Folders with one trailing backslash, as the program builds its paths.
std::string SystemFolder();
std::string WindowsFolder();
// The system folder by its own path, as start-up reads what is left for it: on 64-bit
// Windows the 32-bit one (SysWOW64), which 32-bit programs see as the system folder.
std::string SystemFolderAtBoot();
// Whether the tests run as a 32-bit program on 64-bit Windows.
bool RunsOn64BitWindows();

}  // namespace twitest
