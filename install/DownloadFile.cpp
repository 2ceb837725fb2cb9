#include "install/DownloadFile.h"

#include "base/AppInfo.h"
#include "base/DoEvents.h"
#include "base/FileSystem.h"
#include "base/TextConv.h"
#include "base/Trap.h"
#include "diag/cSharedLogging.h"
#include "install/MainWindowView.h"
#include "install/OwnFiles.h"
#include "update/PackageCheck.h"
#include "net/ServerAddresses.h"
#include "net/cSHAREDInternet.h"
#include "sys/cSHAREDSubs.h"
#include "sys/cSharedFileSubs.h"
#include "ui/MsgBox.h"

namespace twi::install {
namespace {

// Looks at the file that arrived (or the local copy) and erases a bad one; true for a
// good one. A file the maker's hash refuses ends the install (see the header).
bool CheckFile(MainWindowView& w, const std::string& file, bool transferEnded, long expectedSize,
               const std::function<Expectation()>& expectation) {
  cSharedFileSubs& files = TheFileSubs();
  FileLen(file);  // no file at all: error 53 for the caller's handler
  Expectation expected;
  const PackageVerdict verdict =
      CheckDownloadedFile(file, transferEnded, expectedSize, [&] { return expected = expectation(); });
  // A short file that arrived whole is still said to have failed (an error page is
  // the likely reason), though one that is not a page stays and is used.
  const bool arrivedWhole = verdict != PackageVerdict::Missing &&
                            verdict != PackageVerdict::Empty &&
                            verdict != PackageVerdict::Incomplete;
  if (arrivedWhole && FileLen(file) < kErrorPageLimit) w.SetStatus(kDownloadFailed);
  switch (verdict) {
    case PackageVerdict::Good: return true;
    case PackageVerdict::Missing:
    case PackageVerdict::Empty:
      if (files.FileExists(file)) {
        w.SetStatus(kDownloadFailed);
        files.EraseFile(file);
      }
      return false;
    case PackageVerdict::Incomplete:
      w.SetStatus(kShortDownload);
      files.EraseFile(file);
      return false;
    case PackageVerdict::ErrorPage:
      files.EraseFile(file);
      ui::MsgBox(kNotOnServer + MakerWebSite());
      return false;
    default: break;
  }
  const std::string text = VerificationFailureText(verdict, file, expected);
  files.EraseFile(file);
  w.SetStatus(text);
  ui::MsgBox(text);
  throw RuntimeError(err::PermissionDenied, text);
}

// Puts the ready copy where the installers read the package; a copy that fails
// (the file there in use or read-only) ends the install: the older file of that
// name would be unpacked in its place.
void CopyLocalPackage(const std::string& candidate, const std::string& destination) {
  long result = TheFileSubs().CopyFileWithRetCode(candidate, destination);
  if (result == copyresult::Copied) return;
  const long number = result == copyresult::InUse || result == copyresult::ReadOnlyTarget ||
                              result == copyresult::SourceMissing
                          ? result
                          : err::PathFileAccess;
  throw RuntimeError(number, "The local copy " + candidate + " could not be copied to " +
                                 destination + ": " + CopyFailureReason(result) + " (" +
                                 std::to_string(result) + ")");
}

// A proxy that refused the user name or password, or could not be reached, is said
// once, in its own sentence, and ends the install: the later steps (unpacking,
// copying, running) would only report the missing file again, each in its own box.
void StopOnProxyTrouble(MainWindowView& w, cSHAREDInternet& client, const std::string& file) {
  const ProxyTrouble trouble = client.LastProxyTrouble();
  if (trouble == ProxyTrouble::None) return;
  const std::string text = client.LastProxyTroubleText();
  if (TheFileSubs().FileExists(file)) TheFileSubs().EraseFile(file);
  w.SetStatus(kDownloadFailed);
  w.ReleaseDownloadClient();
  ui::MsgBox(text);
  throw RuntimeError(trouble == ProxyTrouble::Refused ? err::PermissionDenied
                                                      : err::DeviceUnavailable,
                     text);
}

}  // namespace

std::string LocalPackageFolder() { return AppFolder() + "\\Local\\"; }

bool DownloadFile(MainWindowView& w, const std::string& localFolder, const std::string& fileName,
                  const std::string& url, const std::string& subFolder,
                  const Expectation* expected) {
  bool good = false;
  std::optional<RuntimeError> error = Trapping([&] {
    if (IsOwnFile(localFolder + fileName)) {
      throw RuntimeError(
          err::PermissionDenied,
          fileName + " is a file of the install center's own; no download replaces it");
    }
    cSHAREDInternet& client = w.DownloadClient();
    cSharedFileSubs& files = TheFileSubs();
    std::string candidate = LocalPackageFolder() + subFolder + files.FileOnly(url);
    std::string file;
    long expectedSize = 0;
    bool transferEnded = true;
    const bool local = files.FileExists(candidate);
    if (local) {
      TheLog().LogEvent("Using " + candidate);
      file = candidate;
    } else {
      TheSubs().BusyBGmouse();
      TheLog().LogEvent("Trying to download " + url);
      file = localFolder + fileName;
      w.ShowStopButton(true);
      DoEvents();
      // The size is asked first, so that the status line shows the progress.
      transferEnded = client.GetFile(url, file, {.getSize = true});
      w.ShowStopButton(false);
      DoEvents();
      expectedSize = client.ExpectedFilesize();
      StopOnProxyTrouble(w, client, file);
    }
    auto expectation = [&] {
      if (expected) return *expected;
      Expectation fromList = RuntimeListExpectation(client, url);
      // A Local copy is held against the list when the list could be had: offline, the
      // copy the administrator placed is used as it is.
      if (local && !fromList.listFetched) fromList.trust = Trust::Unsigned;
      return fromList;
    };
    good = CheckFile(w, file, transferEnded, expectedSize, expectation);
    // Unpacking and copying read the package from localFolder: a local copy
    // that passed the checks is put there, as a download would have been.
    if (local && good) CopyLocalPackage(candidate, localFolder + fileName);
    w.ReleaseDownloadClient();
    TheSubs().NormalMouse();
  });
  if (!error) return good;
  w.SetStatus("DownloadFile: " + url + " - " + error->Description());
  Ignoring([&] { TheSubs().NormalMouse(); });
  // Raised again to the installer, and from there to the button's handler.
  throw RuntimeError(error->Number(), "Error while downloading: " + error->Description());
}

}  // namespace twi::install
