#include "install/UnzipPackage.h"

#include <windows.h>

#include <optional>

#include "base/TextConv.h"
#include "base/Trap.h"
#include "diag/RoutineSteps.h"
#include "install/MainWindowView.h"
#include "install/PackageStaging.h"
#include "sys/CGUnzipFiles.h"
#include "sys/ExecCmd.h"
#include "ui/MsgBox.h"

namespace twi::install {
namespace {

// The zip library's result for a package it unpacked with names changed or entries
// skipped; every higher result is an error.
constexpr long kWarningOnly = 1;

struct LibraryRun {
  long result = 0;
  std::string message;  // what the library printed
};

std::string JoinedWithCommas(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

// The library's text, naming the target where it names the staging folder; where it
// printed nothing (a warning at the quietest level), a sentence of ours instead, so
// that the box is never empty.
std::string TextToShow(const LibraryRun& run, const std::string& packageName,
                       const PackageStaging& staging) {
  if (run.message.empty()) {
    return "Unpacking " + packageName + " ended with the zip library's result code " +
           std::to_string(run.result) +
           (run.result == kWarningOnly ? " (a warning)" : " (an error)") +
           ", and the library gave no text for it.";
  }
  return ReplaceAll(run.message, staging.Path(), staging.Target());
}

// Moves what the package unpacked into its target; false when a file could not be
// put there. The install center's own files are left out, with a warning.
bool PutInPlace(MainWindowView& w, const std::string& packageName, const std::string& targetFolder,
                PackageStaging& staging, bool cleanly) {
  PackageStaging::Outcome outcome;
  if (auto error = Trapping([&] { outcome = staging.MoveIntoTarget(); })) {
    w.SetStatus("Unzip: " + error->Description());
    return false;
  }
  Ignoring([&] {
    if (outcome.leftOut.empty()) return;
    const std::string text = packageName +
                             " holds files of the install center's own, which a "
                             "package never replaces; they were left out: " +
                             JoinedWithCommas(outcome.leftOut);
    w.SetStatus(text);
    ui::MsgBox(text);
  });
  if (!outcome.failed.empty()) {
    w.SetStatus("Unzip: " + packageName +
                " could not be put in place: " + JoinedWithCommas(outcome.failed));
    return false;
  }
  if (cleanly) w.SetStatus("Unpacked " + packageName + " to " + targetFolder);
  return true;
}

}  // namespace

bool Unzip(MainWindowView& w, const std::string& folder, const std::string& packageName,
           const std::string& targetFolder) {
  // Every step that fails shows its error and the next one runs.
  RoutineSteps step({.routine = "Unzip", .onError = [&](const RuntimeError& error) {
                       w.SetStatus("Unzip: " + error.Description());
                     }});
  step([&] {
    if (!CreateDirectoryW(ToWide(targetFolder).c_str(), nullptr) &&
        GetLastError() != ERROR_ALREADY_EXISTS)
      throw RuntimeError::FromLastError();
  });
  std::optional<PackageStaging> staging;
  if (!step([&] { staging.emplace(targetFolder); })) return false;
  std::optional<LibraryRun> run;
  step([&] {
    CGUnzipFiles zip;
    zip.SetZipFileName(folder + packageName);
    zip.SetExtractDir(staging->Path());
    zip.SetHonorDirectories(true);
    long result = zip.Unzip();
    run = LibraryRun{result, zip.GetLastMessage()};
  });
  if (!run) return false;  // the zip class's error is on the status line
  if (run->result != 0) {
    if (run->message.find("may be a plain executable") != std::string::npos) {
      step([&] { ExecCmd(packageName); });  // the bare name: found in the program's own folder
      return true;
    }
    step([&] { ui::MsgBox(TextToShow(*run, packageName, *staging)); });
    if (run->result > kWarningOnly) return false;  // what it unpacked goes with the staging
  }
  return PutInPlace(w, packageName, targetFolder, *staging, run->result == 0);
}

}  // namespace twi::install
