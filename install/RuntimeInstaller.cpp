#include "install/RuntimeInstaller.h"

#include <array>

#include "base/AppInfo.h"
#include "base/DoEvents.h"
#include "base/Trap.h"
#include "base/cSharedOSInfo.h"
#include "install/CopyToSysFolder.h"
#include "install/DownloadFile.h"
#include "install/MainWindowLink.h"
#include "install/UnzipPackage.h"
#include "net/ServerAddresses.h"
#include "sys/ExecCmd.h"
#include "ui/MsgBox.h"

namespace twi::install {
namespace {

// The controls that come as a zip package on the main server: key, package,
// the control's file in it.
struct ZipPackaged {
  std::string_view key, package, controlFile;
};
constexpr std::array<ZipPackaged, 6> kZipPackaged{{
    {"MSWINSCK", "MSWINSCK.zip", "MSWinSck.ocx"},
    {"COMDLG32", "COMDLG32.zip", "ComDlg32.ocx"},
    {"MSCOMCT2", "MSCOMCT2.zip", "MsComCt2.ocx"},
    {"MSCOMCTL", "MSCOMCTL.zip", "MsComCtl.ocx"},
    {"MSFLXGRD", "MSFLXGRD.zip", "MsFlxGrd.ocx"},
    {"TABCTL32", "TABCTL32.zip", "TabCtl32.ocx"},
}};

std::string ProgramFolder() { return AppFolder(); }
std::string MainRuntimes() { return MainServerBase() + "runtimes/"; }
std::string SecondaryRuntimes() { return SecondaryServerBase() + "runtimes/"; }

}  // namespace

std::string RichTextSubFolder() {
  return TheOSInfo().fOSName() == "WinXP" ? "WINXP/" : "WINOTHER/";
}

void RuntimeInstaller::cmdInstall_Click(int index) {
  MainWindowLink& w = window_;
  if (index >= 1 && !w.InetOK) {
    ui::MsgBox(kInternetControlFirst);
    return;
  }
  std::optional<RuntimeError> error = Trapping([&] {
    w.DisableControls();
    InstallComponent(w.cmdInstall[index].Tag);
    w.EnableControls();
    w.PressScan();
  });
  if (!error) return;
  Ignoring([&] { w.EnableControls(); });
  w.SetStatus(error->Description());
  DoEvents();
}

bool RuntimeInstaller::InstallComponent(std::string_view key) {
  if (key == "MSINET") {
    InstallMSINET();
  } else if (key == "RICHTXT") {
    InstallRichText();
  } else if (key == "SPEECH1") {
    InstallSpeech1();
  } else if (key == "SPEECH2") {
    InstallSpeech2();
  } else {
    for (const ZipPackaged& entry : kZipPackaged) {
      if (entry.key != key) continue;
      InstallZipPackaged(std::string(entry.package), std::string(entry.controlFile));
      return true;
    }
    return false;
  }
  return true;
}

void RuntimeInstaller::InstallMSINET() {
  CopyToSysFolder(window_, ProgramFolder() + "\\Msinet.oc_", "msinet.ocx", false);
}

void RuntimeInstaller::InstallZipPackaged(const std::string& package,
                                          const std::string& controlFile) {
  const std::string folder = ProgramFolder() + "\\";
  DownloadFile(window_, folder, package, MainRuntimes() + package, "");
  if (!Unpacked(package, folder)) return;
  CopyToSysFolder(window_, folder + controlFile, controlFile, false);
}

void RuntimeInstaller::InstallRichText() {
  const std::string folder = ProgramFolder() + "\\";
  const std::string subFolder = RichTextSubFolder();
  DownloadFile(window_, folder, "RICHED.zip", MainRuntimes() + subFolder + "RICHED.zip",
               subFolder);
  if (!Unpacked("RICHED.zip", folder)) return;
  CopyToSysFolder(window_, folder + "Riched32.dll", "Riched32.dll", true);
  CopyToSysFolder(window_, folder + "Richtx32.ocx", "Richtx32.ocx", true);
}

void RuntimeInstaller::InstallSpeech1() {
  const std::string folder = ProgramFolder() + "\\";
  DownloadFile(window_, folder, "spchapi.EXE", SecondaryRuntimes() + "SPCHAPI.EXE", "");
  DownloadFile(window_, folder, "msttsL.EXE", SecondaryRuntimes() + "msttsl.EXE", "");
  window_.SetStatus("Installing Speech API");
  DoEvents();
  ExecCmd(CommandLineOf(folder + "spchapi.EXE", "/Q"));
  window_.SetStatus("Installing Text-to-Speech Languages");
  DoEvents();
  ExecCmd(CommandLineOf(folder + "msttsL.EXE", "/Q"));
}

void RuntimeInstaller::InstallSpeech2() {
  const std::string folder = ProgramFolder() + "\\";
  DownloadFile(window_, folder, "Sapi51.zip", SecondaryRuntimes() + "Sapi51.zip", "");
  window_.SetStatus("Unzipping file");
  DoEvents();
  if (!Unpacked("Sapi51.zip", ProgramFolder() + "\\Sapi5")) return;
  window_.SetStatus("Installing Speech API");
  DoEvents();
  ExecCmd(CommandLineOf(folder + "Sapi5\\setup.EXE"));
}

bool RuntimeInstaller::Unpacked(const std::string& package, const std::string& targetFolder) {
  if (Unzip(window_, ProgramFolder() + "\\", package, targetFolder)) return true;
  window_.SetStatus(package + " could not be unpacked, so nothing of it was installed.");
  return false;
}

}  // namespace twi::install
