#pragma once
// The updater window: checks a program's version file against the running
// version, shows the result, can show the release details, downloads the
// package into the program folder and, when the user wants it installed, tells
// its owner (InstallFile). Its version-file parser also serves on a window
// object that is never shown: the main window reads a program's version and
// download address with it.
//
// A version file: line 1 the version (MAJOR.MINOR.REVISION, optionally followed
// by a suffix such as "b"); line 2 the package address, in which every "@@@"
// stands for the version's parts written together (1.2.0b gives 120b); further
// lines are for people. Lines end in LF, a CR before it is ignored.
#include <functional>
#include <memory>
#include <string>

#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/Form.h"
#include "ui/Frame.h"
#include "ui/Label.h"
#include "ui/PictureBox.h"
#include "ui/TextBox.h"
#include "update/SignedFiles.h"
#include "update/VersionRecord.h"

namespace twi {

class cSHAREDInternet;
class RoutineSteps;
struct ReleaseInfo;

class fSHAREDUpdater : public ui::Form {
 public:
  fSHAREDUpdater();
  ~fSHAREDUpdater() override;

  // Stores the addresses and the package's file name, runs the check and shows
  // the window with its result.
  void ShowandCheck(const std::string& updateUrl, const std::string& detailsUrl,
                    const std::string& downloadedFilename, const std::string& currentVersion = "");
  // The update check (update/UpdateCheck.h's steps: fetch, read, compare) against
  // the running (or given) version, its result shown. True when a newer version is out.
  bool CheckForUpdate(bool suppressForm, const std::string& updateUrl,
                      const std::string& detailsUrl, const std::string& updateFilename,
                      std::string currentVersion = "");
  // Downloads `downloadUrl` into `folder` + `filename`; true only for a complete
  // package (see the size and error-page rules in the .cpp).
  bool DownloadFile(const std::string& folder, const std::string& filename,
                    const std::string& downloadUrl, bool withProgressForm);

  // Parses line 1 and 2 of a version file. False (numbers 0, texts empty) when
  // the text has no second line; otherwise the result of the version parse.
  bool ExtractVersionFromWebFile(const std::string& dataString, short& newMajor, short& newMinor,
                                 short& newMinorRevision, std::string& revLetter,
                                 std::string& progUrl);
  // "1.2.0b" into 1, 2, 0 and "b". False, with the outputs unchanged, for fewer
  // than three parts. A number too large for 16 bits leaves that output as it
  // was (and is logged).
  bool ExtractVersionFromAppVer(const std::string& versionString, short& major, short& minor,
                                short& revision, std::string& revLetter);

  // Draws `text` centred in picStatus and raises Status.
  void ShowStatusText(const std::string& text);

  // Members.
  std::string UpdateURL;
  std::string DetailsURL;
  std::string ProgURL;  // found by the last successful check
  std::string UpdateFilename;
  bool Checking = false;  // from the start of a check until a download starts
  std::unique_ptr<cSHAREDInternet> cInternet;

  // Events.
  std::function<void(const std::string& message)> Status;
  std::function<void()> Finished;
  std::function<void()> InstallFile;
  std::function<void()> FormClosed;

  // Controls.
  ui::Label Label1, lblProgram, Label3, lblUpdate, Label2;
  ui::PictureBox picStatus;
  ui::TextBox txtDetails;
  ui::Frame Frame1;
  ui::Button cmdCheckAgain, cmdShowDetail, cmdDownload, cmdDownloadInstall, cmdProxy, cmdExit;
  ui::CheckBox chkDisableAutoUpdate;

  static constexpr const char* kPrivacyText =
      "Privacy Guarantee: No information is sent from your computer when you check for updates.";

 protected:
  void CreateControls() override;
  void Form_Load() override;
  void Form_QueryUnload(bool& cancel, ui::CloseReason reason) override;

 private:
  void CreateButtons();
  void ConnectEvents();
  void SubscribeToClient();
  void OnProgress(float percent, const std::string& message);
  void cmdShowDetail_Click();
  void cmdProxy_Click();
  void cmdDownload_Click();
  void cmdDownloadInstall_Click();
  // The check (when no package address is known yet) and the download of the
  // package into the program folder; true when it is there.
  bool CheckAndDownload(RoutineSteps& step);
  // Posted by "Download and Install": closes the window, then tells the owner.
  void CloseAndHandOver();
  void SaveAndClose();
  void StoreSetting();
  // The check's result shown; the final message for the status picture.
  std::string ShowRelease(const ReleaseInfo& release, const VersionRecord& running,
                          bool suppressForm, bool& newer);
  std::string ShowComparison(const VersionRecord& released, const VersionRecord& running,
                             bool suppressForm, bool& newer);
  std::string ProgramFolderFile() const;

  bool closing_ = false;
  // What the package must be, from the version file of the last check.
  Expectation packageExpectation_;
};

}  // namespace twi
