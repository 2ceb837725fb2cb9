#pragma once
// The runtime components that the scan tests and the installer installs, one row
// each: its place in the scan, its test (the logged text and the test window),
// and its installer: what kind it is, the packages it fetches, the files it puts
// into the system folder, and what happens when such a file is in use. In the
// scan's order, then COMDLG32 and TABCTL32, which the scan never tests (a
// program's installer may still ask for them by key).
#include <array>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "install/TestWindow.h"

namespace twi::install {

enum class InstallerKind {
  // The Internet control the install center brings along: copied from the
  // program folder into the system folder and registered (no download).
  LocalInternetControl,
  // A zip package from the main server, unpacked into the program folder; its
  // control files are copied into the system folder and registered.
  ZipIntoSystemFolder,
  // The speech vendor's installers from the secondary server: a zip package is
  // unpacked first; then each installer runs and is waited for.
  SpeechInstallers,
};

// What a system-folder file in use does: the copy fails (and says so), or the new
// file waits beside it and replaces it at the next reboot.
enum class WhenInUse { CopyFails, ReplaceAtReboot };

// A file an installer fetches: its name in the program folder, and its name on the
// server (and in the Local folder) where that differs.
struct PackageFile {
  std::string_view name{};
  std::string_view onServer{};  // empty: the same name
};

// An installer the speech components run: the status line while it runs, the
// program (relative to the program folder) and its arguments.
struct InstallerRun {
  std::string_view status{};
  std::string_view program{};
  std::string_view arguments{};
};

struct RuntimeComponent {
  std::string_view key{};             // "MSINET"
  std::optional<int> scanPosition{};  // 1 to 8; none for components the scan skips
  std::string_view logText{};         // "Testing MSINET"
  std::unique_ptr<TestWindow> (*createTestWindow)() = nullptr;

  InstallerKind installer = InstallerKind::ZipIntoSystemFolder;
  // The packages, in the order they are fetched (empty names unused).
  std::array<PackageFile, 2> packages{};
  // Under "runtimes/" by the Windows version (WINXP/ or WINOTHER/; rich text only).
  bool byWindowsVersion = false;
  // The sub-folder of the program folder a speech package unpacks into.
  std::string_view unpackInto{};
  // The files copied into the system folder (empty names unused).
  std::array<std::string_view, 2> systemFiles{};
  WhenInUse whenInUse = WhenInUse::CopyFails;
  std::array<InstallerRun, 2> runs{};
};

std::span<const RuntimeComponent> RuntimeComponents();
// The component of a key (exact, upper case); nullptr when there is none.
const RuntimeComponent* FindRuntimeComponent(std::string_view key);

}  // namespace twi::install
