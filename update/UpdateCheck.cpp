// The update check of the updater window: fetch the version file, compare the
// released version with the running one, show the result and keep the date of
// the check in the settings.
#include <windows.h>

#include <cmath>

#include "base/AppInfo.h"
#include "base/Date.h"
#include "base/DoEvents.h"
#include "base/TextConv.h"
#include "base/Trap.h"
#include "diag/TrapToLog.h"
#include "diag/cSharedLogging.h"
#include "lang/cSharedLang.h"
#include "net/cSHAREDInternet.h"
#include "settings/cSHAREDSettings.h"
#include "sys/cSHAREDSubs.h"
#include "sys/cSharedDateSubs.h"
#include "ui/MsgBox.h"
#include "update/PackageCheck.h"
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

// Today as a whole day number (days since 30 December 1899, to the nearest day).
long TodayAsDayNumber() { return static_cast<long>(std::nearbyint(Date::Now().value)); }

}  // namespace

bool fSHAREDUpdater::CheckForUpdate(bool suppressForm, const std::string& updateUrl,
                                    const std::string& detailsUrl,
                                    const std::string& updateFilename,
                                    std::string currentVersion) {
  auto step = [](auto action) {
    TrapToLog("CheckForUpdate", kModule, action, ErrorStyle::NumberHyphen);
  };
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
  step([&] {
    ExtractVersionFromAppVer(currentVersion, running.major, running.minor, running.revision,
                             running.revLetter);
  });
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
  std::string reply;
  SignedText signedFile;
  packageExpectation_ = {};
  step([&] {
    signedFile = FetchSigned(*cInternet, updateUrl, "the install center's version file");
    reply = signedFile.text;
  });
  std::string finalMessage;
  if (signedFile.trust == Trust::Refused) {
    // A version file the maker's signature refuses says nothing that can be trusted.
    step([&] {
      lblUpdate.SetForeColor(kDarkRed);
      lblUpdate.SetCaption(Translated("Could not retrieve update status"));
    });
    finalMessage = signedFile.why;
  } else if (Trim(reply).empty() || ContainsNoCase(reply, "<HTML")) {
    step([&] {
      TheLog().AddAction("Could not retrieve information from the update server.");
      TheLog().AddAction("Please visit " + MakerWebSite() + " to see if an update is available.");
    });
    step([&] {
      lblUpdate.SetForeColor(kDarkRed);
      lblUpdate.SetCaption(Translated("Could not retrieve update status"));
    });
    finalMessage = Translated("Update check failed. Visit ") + MakerWebSite() +
                   Translated(" to update this program manually.");
  } else {
    step([&] { ShowStatusText(Translated("Data retrieved")); });
    VersionRecord released;
    std::string address;
    step([&] {
      ExtractVersionFromWebFile(reply, released.major, released.minor, released.revision,
                                released.revLetter, address);
    });
    if (address.empty()) {
      step([&] {
        lblUpdate.SetForeColor(kDarkRed);
        lblUpdate.SetCaption("Could not read update status from file");
      });
      finalMessage = "Update check failed, could not read download filename";
    } else {
      ProgURL = address;
      packageExpectation_ = VersionFileExpectation(signedFile, ReadVersionFile(reply));
      ShowResult(released, running, suppressForm, result, finalMessage);
    }
  }
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

void fSHAREDUpdater::ShowResult(const VersionRecord& released, const VersionRecord& running,
                                bool suppressForm, bool& newer, std::string& finalMessage) {
  auto step = [](auto action) {
    TrapToLog("CheckForUpdate", kModule, action, ErrorStyle::NumberHyphen);
  };
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
    return;
  }
  step([&] { TheSettings().sSet("LastUpdateCheck", TodayAsDayNumber()); });
  step([&] { TheLog().LogEvent("Already up to date (Available version is " + shown + ")"); });
  step([&] {
    lblUpdate.SetForeColor(kDarkRed);
    lblUpdate.SetCaption(Translated("You're up to date!"));
  });
  finalMessage = Translated("Latest available version is") + " " + shown;
}

}  // namespace twi
