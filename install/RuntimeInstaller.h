#pragma once
// The "Install" button of a failed result row: the window goes busy, the
// component's installer (its row in install/RuntimeComponents.h) runs: fetch the
// package, unpack it, copy the control into the system folder and register it, or
// run the vendor's speech installers; then the window goes idle and the scan runs
// again, so the row shows the component's new state. A transfer error ends the
// sequence with its text on the status line and no new scan. After a package that
// could not be unpacked nothing is copied or run: a file of the control's name left
// in the program folder by an earlier run would be installed in its place.
#include <string>
#include <string_view>

namespace twi {

class RuntimeScan;

namespace install {

class MainWindowView;
struct PackageFile;
struct RuntimeComponent;

class RuntimeInstaller {
 public:
  RuntimeInstaller(MainWindowView& window, RuntimeScan& scan) : window_(window), scan_(scan) {}

  // The click of the "Install" button of result row `row`, which installs `component`.
  void InstallClicked(int row, const std::string& component);
  // Runs the installer of a component key; false when the key has none. Errors
  // are raised to the caller with their own number and description.
  bool InstallComponent(std::string_view componentKey);

  static constexpr const char* kInternetControlFirst =
      "You must install the Internet control before fixing any other problems.";

 private:
  void InstallLocalInternetControl(const RuntimeComponent& component);
  void InstallZipIntoSystemFolder(const RuntimeComponent& component);
  void InstallSpeech(const RuntimeComponent& component);
  // Fetches a package of the component from `runtimes` (a server's runtimes/ address).
  void Fetch(const RuntimeComponent& component, const PackageFile& package,
             const std::string& runtimes);
  // Unzip, and on failure the status line says that nothing was installed.
  bool Unpacked(std::string_view package, const std::string& targetFolder);

  MainWindowView& window_;
  RuntimeScan& scan_;
};

// The rich-text package's sub-folder under "runtimes/" (and under Local):
// "WINXP/" on Windows XP, "WINOTHER/" on any other Windows.
std::string RichTextSubFolder();

}  // namespace install
}  // namespace twi
