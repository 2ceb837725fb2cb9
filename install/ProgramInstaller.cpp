#include "install/ProgramInstaller.h"

#include "base/AppInfo.h"
#include "base/DoEvents.h"
#include "base/TextConv.h"
#include "base/Trap.h"
#include "install/Catalogue.h"
#include "install/DownloadFile.h"
#include "install/MainWindowLink.h"
#include "install/RuntimeScan.h"
#include "net/cSHAREDInternet.h"
#include "sys/ExecCmd.h"
#include "sys/cSharedFileSubs.h"
#include "ui/MsgBox.h"
#include "update/fSHAREDUpdater.h"

namespace twi::install {

void ProgramInstaller::cmdInstallProg_Click() {
  // An error that reaches the click (error 5 from the download and install
  // among them) ends it: the window is idle again and shows the error.
  if (std::optional<RuntimeError> error = Trapping([&] { InstallSelectedProgram(); })) {
    window_.EnableControls();
    window_.SetStatus(error->Description());
    DoEvents();
  }
}

void ProgramInstaller::InstallSelectedProgram() {
  MainWindowLink& w = window_;
  w.InetOK = scan_.TestMSINET();  // the Internet control is tried again now
  w.ShowProgramInfo(false);
  if (!w.InetOK) {
    ui::MsgBox(kInternetControlMissing);
    return;
  }
  w.DisableControls();
  const ProgramEntry* entry = FindProgramByKey(CatalogueKeyOf(w.SelectedProgram()));
  const std::string address = entry ? GetDownloadInfo(VersionFileAddress(*entry)) : "";
  if (address.empty()) {
    w.SetStatus("Could not retrieve program info");
  } else {
    DownloadAndInstallProgram(address, w.SelectedProgram(), TheFileSubs().FileOnly(address));
    w.PressScan();
  }
  w.EnableControls();
}

std::string ProgramInstaller::GetDownloadInfo(const std::string& versionAddress) {
  MainWindowLink& w = window_;
  cSHAREDInternet& client = w.DownloadClient();
  w.SetStatus("Retrieving download info");
  std::string text = client.OpenURL(versionAddress);
  w.SetStatus("");
  if (client.LastProxyTrouble() != ProxyTrouble::None) {
    // Said once here; the caller's "Could not retrieve program info" follows on the status line.
    ui::MsgBox(client.LastProxyTroubleText());
    return "";
  }
  if (ContainsNoCase(text, "<HTML>")) return "";  // an error page
  if (text.find("@@@") == std::string::npos) {
    // The second line written out (a third one would be joined to it); a file
    // of one line names no address.
    size_t lineFeed = text.find('\n');
    if (lineFeed == std::string::npos) return "";
    return ReplaceAll(ReplaceAll(text.substr(lineFeed + 1), "\r", ""), "\n", "");
  }
  short major = 0, minor = 0, revision = 0;
  std::string letter, address;
  w.UpdaterObject().ExtractVersionFromWebFile(text, major, minor, revision, letter, address);
  return address;
}

void ProgramInstaller::DownloadAndInstallProgram(const std::string& downloadAddress,
                                                 const std::string& programName,
                                                 const std::string& fileName) {
  MainWindowLink& w = window_;
  // Each step that fails shows its error and the next one runs; error 5 goes up
  // to the click, and error 75 leaves the routine's own text on the status line.
  auto step = [&](auto action) {
    std::optional<RuntimeError> error = Trapping(action);
    if (!error) return;
    w.SetStatus("DownloadAndInstallProgram: " + error->Description());
    if (error->Number() == err::InvalidProcedureCall) throw *error;
    if (error->Number() != err::PathFileAccess) w.SetStatus(error->Description());
  };
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
    DownloadFile(w, folder, fileName, downloadAddress, "");
    downloaded = !w.DownloadFailed;
  });
  if (!downloaded || !TheFileSubs().FileExists(folder + fileName)) {
    step([&] { w.SetStatus("Download Failed"); });
    return;
  }
  step([&] { w.SetStatus("Running Installer"); });
  // Quoted: a program folder may have blanks in its path.
  step([&] { ExecCmd(CommandLineOf(folder + fileName)); });
  step([&] { w.SetStatus("Installer Ended"); });
}

}  // namespace twi::install
