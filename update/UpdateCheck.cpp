// The update check: its steps (fetch, read, compare), and the updater window's
// check that runs them, shows the result and keeps the date of the check in the
// settings.
#include <windows.h>

#include <cmath>

#include "base/AppInfo.h"
#include "base/Date.h"
#include "base/DoEvents.h"
#include "base/TextConv.h"
#include "base/Trap.h"
#include "diag/RoutineSteps.h"
#include "diag/TrapToLog.h"
#include "diag/cSharedLogging.h"
#include "lang/cSharedLang.h"
#include "net/cSHAREDInternet.h"
#include "settings/cSHAREDSettings.h"
#include "sys/cSHAREDSubs.h"
#include "sys/cSharedDateSubs.h"
#include "ui/MsgBox.h"
#include "update/PackageCheck.h"
#include "update/UpdateCheck.h"
#include "update/VersionFile.h"
#include "update/fSHAREDUpdater.h"

namespace twi {
namespace {

constexpr const char* kModule = "fSharedUpdater";
const ui::Colour kDarkRed = ui::Colour::Rgb(RGB(192, 0, 0));
const ui::Colour kGreen = ui::Colour::Rgb(RGB(0, 128, 0));

std::string Translated(const std::string& text) { return TheLang().GetTranslation(text); }

// Today as "DD/MMM/YYYY" with the locale's date separator and month names.
std::string TodayAsText() {
  std::string picture = TheDateSubs().Conventions().FullDateFormatString;  // "DD/MMM/YYYY"
  picture = ReplaceAll(ReplaceAll(picture, "DD", "dd"), "YYYY", "yyyy");
  SYSTEMTIME now;
  GetLocalTime(&now);
  wchar_t text[64] = {};
  GetDateFormatW(LOCALE_USER_DEFAULT, 0, &now, ToWide(picture).c_str(), text, 64);
  return ToUtf8(text);
}

// The check's steps record their errors as actions of CheckForUpdate.
StepRule CheckForUpdateRule() {
  return {.routine = "CheckForUpdate", .module = kModule, .style = ErrorStyle::NumberHyphen};
}

// Today as a whole day number (days since 30 December 1899, to the nearest day).
long TodayAsDayNumber() { return static_cast<long>(std::nearbyint(Date::Now().value)); }

}  // namespace

SignedText FetchVersionFile(cSHAREDInternet& client, const std::string& address) {
  return FetchSigned(client, address, "the install center's version file");
}

ReleaseInfo ReadRelease(const SignedText& file) {
  ReleaseInfo release;
  if (file.trust == Trust::Refused) {
    release.outcome = ReleaseInfo::Outcome::Refused;
    release.refusal = file.why;
    return release;
  }
  if (Trim(file.text).empty() || ContainsNoCase(file.text, "<HTML")) return release;
  const VersionFile read = ReadVersionFile(file.text);
  release.version = read.version;
  release.address = read.address;
  if (release.address.empty()) {
    release.outcome = ReleaseInfo::Outcome::NoAddress;
    return release;
  }
  release.outcome = ReleaseInfo::Outcome::Read;
  release.package = VersionFileExpectation(file, read);
  return release;
}

VersionRecord RunningVersion(const std::string& versionText) {
  VersionRecord running;
  ReadVersion(versionText, running);
  return running;
}

bool IsUpdate(const ReleaseInfo& release, const VersionRecord& running) {
  return release.outcome == ReleaseInfo::Outcome::Read && release.version.IsNewerThan(running);
}

bool fSHAREDUpdater::CheckForUpdate(bool suppressForm, const std::string& updateUrl,
                                    const std::string& detailsUrl,
                                    const std::string& updateFilename,
                                    std::string currentVersion) {
  RoutineSteps step(CheckForUpdateRule());
  bool result = false;
  step([&] {
    cmdCheckAgain.SetEnabled(false);
    cmdShowDetail.SetEnabled(false);
  });
  if (!currentVersion.empty())
    step([&] { lblProgram.SetCaption("Version " + currentVersion); });
  else
    currentVersion = TheSubs().AppVersion();
  VersionRecord running;
  step([&] { running = RunningVersion(currentVersion); });
  if (!suppressForm) {
    // Shown while a modal window is displayed is refused: the check goes on unseen.
    std::optional<RuntimeError> error = Trapping([&] { Show(false); });
    if (error && error->Number() == err::CannotShowNonModal)
      suppressForm = true;
    else if (error)
      RecordTrapped(*error, "CheckForUpdate", kModule, ErrorStyle::NumberHyphen);
    step([&] { DoEvents(); });
  }
  step([&] {
    chkDisableAutoUpdate.SetValue(TheSettings().sGet("DisableAutoUpdateCheck", true).AsBool());
  });
  step([&] { cInternet->Cancel(); });
  step([&] {
    UpdateURL = updateUrl;
    DetailsURL = detailsUrl;
    UpdateFilename = updateFilename;
  });
  step([&] { ShowStatusText(Translated("Checking for update")); });
  step([&] { cInternet->ApplyProxy(); });
  Checking = true;
  packageExpectation_ = {};
  SignedText file;
  step([&] { file = FetchVersionFile(*cInternet, updateUrl); });
  ReleaseInfo release;
  step([&] { release = ReadRelease(file); });
  const std::string finalMessage = ShowRelease(release, running, suppressForm, result);
  step([&] { ShowStatusText(finalMessage); });
  step([&] { TheLog().AddDebug(finalMessage); });
  step([&] {
    cmdCheckAgain.SetEnabled(true);
    cmdShowDetail.SetEnabled(true);
  });
  step([&] {
    if (Finished) Finished();
  });
  return result;
}

std::string fSHAREDUpdater::ShowRelease(const ReleaseInfo& release, const VersionRecord& running,
                                        bool suppressForm, bool& newer) {
  RoutineSteps step(CheckForUpdateRule());
  auto showFailure = [&](const std::string& caption) {
    step([&] {
      lblUpdate.SetForeColor(kDarkRed);
      lblUpdate.SetCaption(caption);
    });
  };
  switch (release.outcome) {
    case ReleaseInfo::Outcome::Refused:
      // A version file the maker's signature refuses says nothing that can be trusted.
      showFailure(Translated("Could not retrieve update status"));
      return release.refusal;
    case ReleaseInfo::Outcome::NoReply:
      step([&] {
        TheLog().AddAction("Could not retrieve information from the update server.");
        TheLog().AddAction("Please visit " + MakerWebSite() +
                           " to see if an update is available.");
      });
      showFailure(Translated("Could not retrieve update status"));
      return Translated("Update check failed. Visit ") + MakerWebSite() +
             Translated(" to update this program manually.");
    case ReleaseInfo::Outcome::NoAddress:
      step([&] { ShowStatusText(Translated("Data retrieved")); });
      showFailure("Could not read update status from file");
      return "Update check failed, could not read download filename";
    case ReleaseInfo::Outcome::Read: break;
  }
  step([&] { ShowStatusText(Translated("Data retrieved")); });
  ProgURL = release.address;
  packageExpectation_ = release.package;
  return ShowComparison(release.version, running, suppressForm, newer);
}

std::string fSHAREDUpdater::ShowComparison(const VersionRecord& released,
                                           const VersionRecord& running, bool suppressForm,
                                           bool& newer) {
  RoutineSteps step(CheckForUpdateRule());
  const std::string shown = released.ShownText();
  if (released.IsNewerThan(running)) {
    step([&] {
      cmdCheckAgain.SetEnabled(true);
      cmdShowDetail.SetEnabled(true);
    });
    step([&] { TheSettings().sSet("LastUpdateCheck", TodayAsText()); });
    step([&] {
      lblUpdate.SetForeColor(kGreen);
      lblUpdate.SetCaption("Version " + shown + " is available!");
    });
    newer = true;
    if (suppressForm) {
      int answer = ui::vbNo;
      step([&] {
        answer = ui::MsgBox(
            Translated("An update is available. Would you like to view the details now?"),
            ui::vbYesNo);
      });
      if (answer == ui::vbYes && !Visible()) step([&] { Show(true); });
    }
    return "";
  }
  step([&] { TheSettings().sSet("LastUpdateCheck", TodayAsDayNumber()); });
  step([&] { TheLog().LogEvent("Already up to date (Available version is " + shown + ")"); });
  step([&] {
    lblUpdate.SetForeColor(kDarkRed);
    lblUpdate.SetCaption(Translated("You're up to date!"));
  });
  return Translated("Latest available version is") + " " + shown;
}

}  // namespace twi
