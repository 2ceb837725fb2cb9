#include "install/DownloadFile.h"

#include "base/AppInfo.h"
#include "base/DoEvents.h"
#include "base/FileSystem.h"
#include "base/TextConv.h"
#include "base/Trap.h"
#include "diag/cSharedLogging.h"
#include "install/MainWindowLink.h"
#include "install/OwnFiles.h"
#include "net/ServerAddresses.h"
#include "net/cSHAREDInternet.h"
#include "sys/cSHAREDSubs.h"
#include "sys/cSharedFileSubs.h"
#include "ui/MsgBox.h"

namespace twi::install {
namespace {

// Looks at the file that arrived (or the local copy) and erases a bad one.
void CheckFile(MainWindowLink& w, const std::string& file, long expectedSize) {
  cSharedFileSubs& files = TheFileSubs();
  long long length = FileLen(file);  // no file at all: error 53 for the caller's handler
  if (length == 0 || w.DownloadFailed) {
    if (files.FileExists(file)) {
      w.SetStatus(kDownloadFailed);
      files.EraseFile(file);
    }
  } else if (expectedSize >= 1 && length < expectedSize) {
    w.SetStatus(kShortDownload);
    files.EraseFile(file);
  } else if (length < kErrorPageLimit) {
    w.SetStatus(kDownloadFailed);
    std::string text;
    files.LoadTextFile(file, text);
    if (ContainsNoCase(text, "<HTML>")) {
      files.EraseFile(file);
      ui::MsgBox(kNotOnServer + MakerWebSite());
    }
  }
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
void StopOnProxyTrouble(MainWindowLink& w, cSHAREDInternet& client, const std::string& file) {
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

void DownloadFile(MainWindowLink& w, const std::string& localFolder, const std::string& fileName,
                  const std::string& url, const std::string& subFolder) {
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
    const bool local = files.FileExists(candidate);
    if (local) {
      // A failure left over from an earlier transfer says nothing about this copy.
      w.DownloadFailed = false;
      TheLog().LogEvent("Using " + candidate);
      file = candidate;
    } else {
      TheSubs().BusyBGmouse();
      TheLog().LogEvent("Trying to download " + url);
      file = localFolder + fileName;
      w.ShowStopButton(true);
      DoEvents();
      bool ok = client.GetFile(url, file, true, false, false, false);
      w.ShowStopButton(false);
      DoEvents();
      w.DownloadFailed = !ok;
      expectedSize = client.ExpectedFilesize();
      StopOnProxyTrouble(w, client, file);
    }
    CheckFile(w, file, expectedSize);
    // Unpacking and copying read the package from localFolder: a local copy
    // that passed the checks is put there, as a download would have been.
    if (local && files.FileExists(candidate)) CopyLocalPackage(candidate, localFolder + fileName);
    w.ReleaseDownloadClient();
    TheSubs().NormalMouse();
  });
  if (!error) return;
  w.SetStatus("DownloadFile: " + url + " - " + error->Description());
  Ignoring([&] { TheSubs().NormalMouse(); });
  // Raised again to the installer, and from there to the button's handler.
  throw RuntimeError(error->Number(), "Error while downloading: " + error->Description());
}

}  // namespace twi::install
