#include "install/ProgramInstaller.h"

#include "base/AppInfo.h"
#include "base/DoEvents.h"
#include "base/TextConv.h"
#include "base/Trap.h"
#include "diag/RoutineSteps.h"
#include "install/Catalogue.h"
#include "install/DownloadFile.h"
#include "install/MainWindowView.h"
#include "install/RuntimeScan.h"
#include "update/PackageCheck.h"
#include "update/VersionFile.h"
#include "net/cSHAREDInternet.h"
#include "sys/ExecCmd.h"
#include "sys/cSharedFileSubs.h"
#include "ui/MsgBox.h"

namespace twi::install {

void ProgramInstaller::InstallProgramClicked() {
  // An error that reaches the click (error 5 from the download and install
  // among them) ends it: the window is idle again and shows the error.
  if (std::optional<RuntimeError> error = Trapping([&] { InstallSelectedProgram(); })) {
    window_.ShowIdle();
    window_.SetStatus(error->Description());
    DoEvents();
  }
}

void ProgramInstaller::InstallSelectedProgram() {
  MainWindowView& w = window_;
  const bool inetOK = scan_.TestMSINET();  // the Internet control is tried again now
  w.ClearRows();
  if (!inetOK) {
    ui::MsgBox(kInternetControlMissing);
    return;
  }
  w.ShowBusy();
  const ProgramEntry* entry = FindProgramByKey(CatalogueKeyOf(w.SelectedProgram()));
  const std::string address = entry ? GetDownloadInfo(VersionFileAddress(*entry)) : "";
  if (address.empty()) {
    w.SetStatus("Could not retrieve program info");
  } else {
    DownloadAndInstallProgram(address, w.SelectedProgram(), TheFileSubs().FileOnly(address));
    scan_.Scan();
  }
  w.ShowIdle();
}

std::string ProgramInstaller::GetDownloadInfo(const std::string& versionAddress) {
  MainWindowView& w = window_;
  cSHAREDInternet& client = w.DownloadClient();
  w.SetStatus("Retrieving download info");
  installerExpectation_ = {};
  SignedText signedFile = FetchSigned(client, versionAddress, "the version file");
  w.SetStatus("");
  if (client.LastProxyTrouble() != ProxyTrouble::None) {
    // Said once here; the caller's "Could not retrieve program info" follows on the status line.
    ui::MsgBox(client.LastProxyTroubleText());
    return "";
  }
  if (signedFile.trust == Trust::Refused) {
    ui::MsgBox(signedFile.why);
    return "";
  }
  // The sha256 line is the maker's, for this check: the address is read without it.
  const std::string text = WithoutHashLines(signedFile.text);
  if (ContainsNoCase(text, "<HTML>")) return "";  // an error page
  const VersionFile file = ReadVersionFile(signedFile.text);
  installerExpectation_ = VersionFileExpectation(signedFile, file);
  if (text.find("@@@") == std::string::npos) {
    // The second line written out (a third one would be joined to it); a file
    // of one line names no address.
    size_t lineFeed = text.find('\n');
    if (lineFeed == std::string::npos) return "";
    return ReplaceAll(ReplaceAll(text.substr(lineFeed + 1), "\r", ""), "\n", "");
  }
  return file.address;
}

bool ProgramInstaller::DownloadAndInstallProgram(const std::string& downloadAddress,
                                                 const std::string& programName,
                                                 const std::string& fileName) {
  MainWindowView& w = window_;
  // Each step that fails shows its error and the next one runs; error 5 goes up
  // to the click, and error 75 leaves the routine's own text on the status line.
  RoutineSteps step({.routine = "DownloadAndInstallProgram",
                     .onError = [&](const RuntimeError& error) {
                       w.SetStatus("DownloadAndInstallProgram: " + error.Description());
                       if (error.Number() == err::InvalidProcedureCall) throw error;
                       if (error.Number() != err::PathFileAccess) w.SetStatus(error.Description());
                     }});
  const std::string folder = AppFolder() + "\\";
  step([&] { ui::MsgBox("If you are using " + programName + " please close it before proceeding"); });
  step([&] {
    w.SetStatus("Connecting to server");
    DoEvents();
  });
  // A file is run only when this download brought it: after a failed one, a file of
  // that name is an older one (one in use cannot be erased), never the installer.
  bool downloaded = false;
  step([&] {
    downloaded = DownloadFile(w, folder, fileName, downloadAddress, "", &installerExpectation_);
  });
  if (!downloaded || !TheFileSubs().FileExists(folder + fileName)) {
    step([&] { w.SetStatus("Download Failed"); });
    return false;
  }
  step([&] { w.SetStatus("Running Installer"); });
  // Quoted: a program folder may have blanks in its path.
  const bool ran = step([&] { ExecCmd(CommandLineOf(folder + fileName)); });
  step([&] { w.SetStatus("Installer Ended"); });
  return ran;
}

}  // namespace twi::install
