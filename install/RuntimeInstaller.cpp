#include "install/RuntimeInstaller.h"

#include "base/AppInfo.h"
#include "base/DoEvents.h"
#include "base/Trap.h"
#include "base/cSharedOSInfo.h"
#include "install/CopyToSysFolder.h"
#include "install/DownloadFile.h"
#include "install/MainWindowView.h"
#include "install/RuntimeComponents.h"
#include "install/RuntimeScan.h"
#include "install/UnzipPackage.h"
#include "net/ServerAddresses.h"
#include "sys/ExecCmd.h"
#include "ui/MsgBox.h"

namespace twi::install {
namespace {

std::string ProgramFolder() { return AppFolder() + "\\"; }
std::string MainRuntimes() { return MainServerBase() + "runtimes/"; }
std::string SecondaryRuntimes() { return SecondaryServerBase() + "runtimes/"; }

}  // namespace

std::string RichTextSubFolder() {
  return TheOSInfo().fOSName() == "WinXP" ? "WINXP/" : "WINOTHER/";
}

void RuntimeInstaller::InstallClicked(int row, const std::string& component) {
  MainWindowView& w = window_;
  if (row >= 1 && !scan_.InetOK()) {
    ui::MsgBox(kInternetControlFirst);
    return;
  }
  std::optional<RuntimeError> error = Trapping([&] {
    w.ShowBusy();
    InstallComponent(component);
    w.ShowIdle();
    scan_.Scan();
  });
  if (!error) return;
  Ignoring([&] { w.ShowIdle(); });
  w.SetStatus(error->Description());
  DoEvents();
}

bool RuntimeInstaller::InstallComponent(std::string_view key) {
  const RuntimeComponent* component = FindRuntimeComponent(key);
  if (!component) return false;
  switch (component->installer) {
    case InstallerKind::LocalInternetControl: InstallLocalInternetControl(*component); break;
    case InstallerKind::ZipIntoSystemFolder: InstallZipIntoSystemFolder(*component); break;
    case InstallerKind::SpeechInstallers: InstallSpeech(*component); break;
  }
  return true;
}

void RuntimeInstaller::Fetch(const RuntimeComponent& component, const PackageFile& package,
                             const std::string& runtimes) {
  const std::string subFolder = component.byWindowsVersion ? RichTextSubFolder() : "";
  const std::string_view onServer = package.onServer.empty() ? package.name : package.onServer;
  DownloadFile(window_, ProgramFolder(), std::string(package.name),
               runtimes + subFolder + std::string(onServer), subFolder);
}

void RuntimeInstaller::InstallLocalInternetControl(const RuntimeComponent& component) {
  CopyToSysFolder(window_, ProgramFolder() + std::string(component.packages[0].name),
                  std::string(component.systemFiles[0]), false);
}

void RuntimeInstaller::InstallZipIntoSystemFolder(const RuntimeComponent& component) {
  const PackageFile& package = component.packages[0];
  Fetch(component, package, MainRuntimes());
  if (!Unpacked(package.name, ProgramFolder())) return;
  const bool inUseWaitsForReboot = component.whenInUse == WhenInUse::ReplaceAtReboot;
  for (std::string_view file : component.systemFiles) {
    if (file.empty()) continue;
    CopyToSysFolder(window_, ProgramFolder() + std::string(file), std::string(file),
                    inUseWaitsForReboot);
  }
}

void RuntimeInstaller::InstallSpeech(const RuntimeComponent& component) {
  for (const PackageFile& package : component.packages)
    if (!package.name.empty()) Fetch(component, package, SecondaryRuntimes());
  for (const PackageFile& package : component.packages) {
    if (!package.name.ends_with(".zip")) continue;
    window_.SetStatus("Unzipping file");
    DoEvents();
    if (!Unpacked(package.name, ProgramFolder() + std::string(component.unpackInto))) return;
  }
  for (const InstallerRun& run : component.runs) {
    if (run.program.empty()) continue;
    window_.SetStatus(std::string(run.status));
    DoEvents();
    ExecCmd(CommandLineOf(ProgramFolder() + std::string(run.program), std::string(run.arguments)));
  }
}

bool RuntimeInstaller::Unpacked(std::string_view package, const std::string& targetFolder) {
  if (Unzip(window_, ProgramFolder(), std::string(package), targetFolder)) return true;
  window_.SetStatus(std::string(package) + " could not be unpacked, so nothing of it was installed.");
  return false;
}

}  // namespace twi::install
