#include "update/fSHAREDUpdater.h"

#include <windows.h>

#include "base/AppInfo.h"
#include "base/DoEvents.h"
#include "base/FileSystem.h"
#include "base/TextConv.h"
#include "base/Trap.h"
#include "diag/RoutineSteps.h"
#include "diag/TrapToLog.h"
#include "diag/cSharedLogging.h"
#include "lang/cSharedLang.h"
#include "net/cSHAREDInternet.h"
#include "net/fSHAREDProxy.h"
#include "settings/cSHAREDSettings.h"
#include "sys/cSHAREDSubs.h"
#include "sys/cSharedFileSubs.h"
#include "sys/cSharedProgress.h"
#include "ui/MsgBox.h"
#include "update/PackageCheck.h"

namespace twi {
namespace {

constexpr const char* kModule = "fSharedUpdater";

std::string Translated(const std::string& text) { return TheLang().GetTranslation(text); }

}  // namespace

fSHAREDUpdater::fSHAREDUpdater() : ui::Form("Updater", 7935, 4905) {
  cInternet = std::make_unique<cSHAREDInternet>();
  SubscribeToClient();
}

fSHAREDUpdater::~fSHAREDUpdater() = default;

void fSHAREDUpdater::CreateControls() {
  Label1.Create(*this, "You have:", {120, 135, 1095, 255});
  lblProgram.Create(*this, "", {1260, 135, 6555, 255});
  Label3.Create(*this, "Status:", {120, 480, 1095, 255});
  lblUpdate.Create(*this, "", {1260, 480, 6555, 255});
  lblUpdate.SetFontBold(true);
  picStatus.Create(*this, {120, 840, 7695, 390});
  txtDetails.Create(*this, {120, 1335, 7695, 1335},
                    {.visible = false, .multiLine = true, .verticalScroll = true});
  CreateButtons();
  chkDisableAutoUpdate.Create(*this, "Disable automatic checking", {120, 3810, 3255, 315});
  chkDisableAutoUpdate.SetToolTipText(
      "If you tick this box, the program will NOT check for updated versions. Recommended "
      "setting: not ticked");
  cmdProxy.Create(*this, "Proxy Setup", {4965, 3765, 1335, 405});
  cmdExit.Create(*this, "Exit", {6480, 3765, 1335, 405});
  Label2.Create(*this, kPrivacyText, {120, 4335, 7695, 450});
  ConnectEvents();
}

void fSHAREDUpdater::CreateButtons() {
  Frame1.Create(*this, "", {120, 2685, 7695, 945});
  cmdCheckAgain.Create(Frame1, "Check Again", {105, 150, 1800, 735});
  cmdShowDetail.Create(Frame1, "Show Version Details", {1995, 150, 1800, 735});
  cmdShowDetail.SetToolTipText("Reads details of the latest version from the server");
  cmdDownload.Create(Frame1, "Download Only", {3885, 150, 1800, 735});
  cmdDownload.SetToolTipText("This will download the update package without installing it.");
  cmdDownloadInstall.Create(Frame1, "Download and Install", {5775, 150, 1800, 735});
  cmdDownloadInstall.SetToolTipText(
      "This will download the update package and update your copy of the program");
}

void fSHAREDUpdater::ConnectEvents() {
  cmdCheckAgain.OnClick = [this] { CheckForUpdate(false, UpdateURL, DetailsURL, UpdateFilename); };
  cmdShowDetail.OnClick = [this] { cmdShowDetail_Click(); };
  cmdDownload.OnClick = [this] { cmdDownload_Click(); };
  cmdDownloadInstall.OnClick = [this] { cmdDownloadInstall_Click(); };
  cmdProxy.OnClick = [this] { cmdProxy_Click(); };
  cmdExit.OnClick = [this] { SaveAndClose(); };
}

void fSHAREDUpdater::SubscribeToClient() {
  cInternet->Progress = [this](float percent, const std::string& message) {
    OnProgress(percent, message);
  };
}

void fSHAREDUpdater::Form_Load() {
  RoutineSteps step({.routine = "Form_Load", .module = kModule, .style = ErrorStyle::NumberHyphen});
  step([&] {
    lblProgram.SetCaption(std::string(AppTitle()) + " version " + TheSubs().AppVersion());
  });
  step([&] { SetCaption(std::string(AppTitle()) + " Updater"); });
  step([&] {
    chkDisableAutoUpdate.SetValue(TheSettings().sGet("DisableAutoUpdateCheck", true).AsBool());
  });
}

void fSHAREDUpdater::ShowStatusText(const std::string& text) {
  TheProgress().PrintCentered(picStatus, text, true, GetSysColor(COLOR_BTNTEXT),
                              GetSysColor(COLOR_BTNFACE));
  if (Status) Status(text);
}

void fSHAREDUpdater::ShowandCheck(const std::string& updateUrl, const std::string& detailsUrl,
                                  const std::string& downloadedFilename,
                                  const std::string& currentVersion) {
  // A window cannot be shown while a modal one is: that error alone is not recorded.
  RoutineSteps step({.routine = "ShowandCheck",
                     .module = kModule,
                     .style = ErrorStyle::NumberHyphen,
                     .passOver = err::CannotShowNonModal});
  step([&] {
    UpdateURL = updateUrl;
    DetailsURL = detailsUrl;
    UpdateFilename = downloadedFilename;
  });
  bool newer = false;
  step([&] {
    newer = CheckForUpdate(false, UpdateURL, DetailsURL, UpdateFilename, currentVersion);
  });
  if (!newer && !Visible()) step([&] { Show(true); });
}

void fSHAREDUpdater::OnProgress(float percent, const std::string& message) {
  if (Checking) return;
  if (percent != 100) {
    TheProgress().ShowProgressString(picStatus, percent, 100, message);
  } else {
    TheProgress().PrintCentered(picStatus, "Downloaded " + message, true,
                                GetSysColor(COLOR_BTNTEXT), GetSysColor(COLOR_BTNFACE));
  }
}

bool fSHAREDUpdater::DownloadFile(const std::string& folder, const std::string& filename,
                                  const std::string& downloadUrl, bool withProgressForm) {
  RoutineSteps step({.routine = "DownloadFile", .module = kModule, .style = ErrorStyle::NumberHyphen});
  bool result = false;
  Checking = false;
  step([&] { cInternet->ApplyProxy(); });
  step([&] { TheSubs().BusyMouse(); });
  step([&] { TheLog().LogEvent("Trying to download " + downloadUrl); });
  const std::string local = folder + filename;
  bool fetched = false;
  step([&] {
    fetched = cInternet->GetFile(downloadUrl, local, {.withProgressForm = withProgressForm});
  });
  PackageVerdict verdict = PackageVerdict::Missing;
  step([&] {
    verdict = CheckDownloadedFile(local, fetched, cInternet->ExpectedFilesize(),
                                  [&] { return packageExpectation_; }, {true, true});
  });
  switch (verdict) {
    case PackageVerdict::Good:
      step([&] { TheProgress().ShowProgressString(picStatus, 1, 1, "100%"); });
      result = true;
      break;
    case PackageVerdict::Missing:
      step([&] { ShowStatusText("Error - Download failed."); });
      step([&] { TheFileSubs().EraseFile(local); });
      break;
    case PackageVerdict::Incomplete:
      step([&] { ShowStatusText("Error - Downloaded file is incomplete. Please retry"); });
      step([&] { TheFileSubs().EraseFile(local); });
      break;
    case PackageVerdict::ErrorPage:
      step([&] { TheProgress().ShowProgressString(picStatus, 1, 1, "100%"); });
      step([&] { TheFileSubs().EraseFile(local); });
      step([&] { ShowStatusText("Error - File not found on server."); });
      break;
    case PackageVerdict::Empty:
    case PackageVerdict::TooSmall:
      step([&] { TheProgress().ShowProgressString(picStatus, 1, 1, "100%"); });
      break;
    default:
      // Never handed to the update program: a package the maker's hash refuses.
      step([&] { TheFileSubs().EraseFile(local); });
      step([&] {
        ShowStatusText(VerificationFailureText(verdict, local, packageExpectation_));
      });
      break;
  }
  step([&] { TheSubs().NormalMouse(); });
  return result;
}

void fSHAREDUpdater::cmdShowDetail_Click() {
  RoutineSteps step(
      {.routine = "cmdShowDetail_Click", .module = kModule, .style = ErrorStyle::NumberHyphen});
  step([&] { TheSubs().BusyMouse(); });
  step([&] {
    txtDetails.SetVisible(true);
    txtDetails.SetText("Retrieving info...");
  });
  step([&] { DoEvents(); });
  std::string reply;
  step([&] { reply = cInternet->OpenURL(DetailsURL, false); });
  step([&] {
    if (!ContainsNoCase(reply, "html") || !ContainsNoCase(reply, "404"))
      txtDetails.SetText(ReplaceAll(reply, "\n", "\r\n"));
    else
      txtDetails.SetText(Translated(
          "Unable to read data from server. Please check your internet settings and try again."));
  });
  step([&] { TheSubs().NormalMouse(); });
}

// The proxy dialog, translated and shown modally; its errors are ignored.
void fSHAREDUpdater::cmdProxy_Click() {
  Ignoring([] { ShowProxyDialog(); });
}

std::string fSHAREDUpdater::ProgramFolderFile() const { return AppFolder() + "\\" + UpdateFilename; }

bool fSHAREDUpdater::CheckAndDownload(RoutineSteps& step) {
  bool downloaded = false;
  step([&] {
    if (ProgURL.empty()) CheckForUpdate(true, UpdateURL, DetailsURL, UpdateFilename);
  });
  step([&] { downloaded = DownloadFile(AppFolder() + "\\", UpdateFilename, ProgURL, false); });
  return downloaded;
}

void fSHAREDUpdater::cmdDownload_Click() {
  RoutineSteps step({.routine = "cmdDownload_Click", .module = kModule});
  if (CheckAndDownload(step)) step([&] { ui::MsgBox("File saved to " + ProgramFolderFile()); });
}

void fSHAREDUpdater::cmdDownloadInstall_Click() {
  RoutineSteps step({.routine = "cmdDownloadInstall_Click", .module = kModule});
  if (!CheckAndDownload(step)) return;
  int answer = ui::vbNo;
  step([&] {
    answer = ui::MsgBox(
        Translated("The update has been downloaded. Do you want to install it now?"),
        ui::vbYesNo);
  });
  if (answer != ui::vbYes) {
    step([&] { ui::MsgBox("File saved to " + ProgramFolderFile()); });
    return;
  }
  step([&] { Hide(); });
  step([&] { DoEvents(); });
  // The owner's hand-over ends the program: it runs once this click's handler has
  // returned, after the window has closed.
  step([&] { PostAction([this] { CloseAndHandOver(); }); });
}

void fSHAREDUpdater::CloseAndHandOver() {
  SaveAndClose();
  TrapToLog("cmdDownloadInstall_Click", kModule, [&] {
    if (InstallFile) InstallFile();
  });
}

void fSHAREDUpdater::StoreSetting() {
  Ignoring([&] {
    TheSettings().sSet("DisableAutoUpdateCheck", chkDisableAutoUpdate.Value() == 1);
  });
  Ignoring([&] {
    if (FormClosed) FormClosed();
  });
}

// Stores the check box's setting and raises FormClosed once, however the window
// closes: the Exit button, the close box, the owner unloading it.
void fSHAREDUpdater::SaveAndClose() {
  if (!IsLoaded()) return;  // closed already (the owner unloads every window at its exit)
  closing_ = true;
  StoreSetting();
  Ignoring([&] { Unload(); });
  closing_ = false;
}

void fSHAREDUpdater::Form_QueryUnload(bool& /*cancel*/, ui::CloseReason /*reason*/) {
  if (!closing_) StoreSetting();
}

}  // namespace twi
