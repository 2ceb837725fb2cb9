#pragma once
// A program folder for the update program's tests: this build's install center
// (1.2.99) in a scratch folder, with the stand-in update packages of
// build/fixtures/update/ put beside it, the hand-over file, the update
// program's log, and the install center the update program started again.
#include <chrono>
#include <string>

#include "support/TestSupport.h"

namespace twitest {

// The Windows path of a stand-in of build/fixtures/update/.
std::string UpdateFixture(const std::string& name);
// A program file's version resource ("1.3.0.0"), "" when it has none.
std::string FileVersionOf(const std::string& path);

class UpdateFolder {
 public:
  UpdateFolder();
  const std::string& Path() const { return scratch_.Path(); }
  std::string File(const std::string& name) const { return scratch_.File(name); }
  std::string InstallCenter() const { return File("TWInstall.exe"); }
  // The install center's bytes as the folder got them.
  const std::string& Original() const { return original_; }
  bool InstallCenterIsOriginal() const;
  // Copies the stand-in `fixture` in as TWInstUpd.exe.
  void Package(const std::string& fixture) const;
  void HandOver(const std::string& text) const;
  // Copies this build's Updater.exe in; its path.
  std::string AddUpdater() const;
  std::string Log() const { return ReadFileBytes(File("updater.log")); }
  // The version line ("V: 1.3.0") of the install center running from this
  // folder once its start-up is over; closes it. "no install center window"
  // when none shows within `timeout`.
  std::string RestartedVersionLine(std::chrono::seconds timeout = std::chrono::seconds(60)) const;

 private:
  ScratchFolder scratch_;
  std::string original_;
};

}  // namespace twitest
