#pragma once
// The "Install" button of a failed result row: the window goes busy, the
// component's installer runs (fetch the package, unpack it, copy the control
// into the system folder and register it, or run the vendor's speech
// installers), the window goes idle and the scan runs again so the row shows
// the component's new state. A transfer error ends the sequence with its text
// on the status line and no new scan. After a package that could not be
// unpacked nothing is copied or run: a file of the control's name left in the
// program folder by an earlier run would be installed in its place.
#include <string>
#include <string_view>

namespace twi::install {

class MainWindowLink;

class RuntimeInstaller {
 public:
  explicit RuntimeInstaller(MainWindowLink& window) : window_(window) {}

  // The click of cmdInstall(index).
  void cmdInstall_Click(int index);
  // Runs the installer of a component key; false when the key has none. Errors
  // are raised to the caller with their own number and description.
  bool InstallComponent(std::string_view componentKey);

  static constexpr const char* kInternetControlFirst =
      "You must install the Internet control before fixing any other problems.";

 private:
  void InstallMSINET();
  void InstallZipPackaged(const std::string& package, const std::string& controlFile);
  void InstallRichText();
  void InstallSpeech1();
  void InstallSpeech2();
  // Unzip, and on failure the status line says that nothing was installed.
  bool Unpacked(const std::string& package, const std::string& targetFolder);

  MainWindowLink& window_;
};

// The rich-text package's sub-folder under "runtimes/" (and under Local):
// "WINXP/" on Windows XP, "WINOTHER/" on any other Windows.
std::string RichTextSubFolder();

}  // namespace twi::install
