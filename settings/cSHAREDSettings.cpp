#include "settings/cSHAREDSettings.h"

#include <windows.h>

#include "base/FileSystem.h"
#include "base/FileTable.h"
#include "base/NoDestructor.h"
#include "base/TextConv.h"
#include "base/Trap.h"
#include "diag/TrapToLog.h"
#include "diag/cSharedLogging.h"
#include "report/cSHAREDShowError.h"
#include "sys/cSHAREDSubs.h"
#include "sys/cSharedDateSubs.h"
#include "sys/cSharedFileSubs.h"
#include "ui/MsgBox.h"

namespace twi {
namespace {

constexpr const char* kModule = "cSHAREDSettings";

std::string WithoutCommas(const std::string& name) { return ReplaceAll(name, ",", ""); }

// The key of a name: without commas, upper-cased as the user's locale does it.
std::string KeyOf(const std::string& name) { return UpperLocale(WithoutCommas(name)); }

bool IsFalseWord(const std::string& upper) {
  return upper == "FALSE" || upper == TheDateSubs().FalseStr();
}

bool IsTrueWord(const std::string& upper) {
  return upper == "TRUE" || upper == TheDateSubs().TrueStr();
}

std::string FormatNumber(double number, bool whole) {
  std::string digits;
  if (whole) {
    digits = std::to_string(static_cast<long long>(number < 0 ? -number : number));
  } else {
    digits = Variant(number < 0 ? -number : number).AsText();
  }
  return (number < 0 ? "-" : " ") + digits + " ";
}

// A typed value with a line break would become further settings lines of the file
// ("evil" CR LF "PROXYTYPE,0"): each entry is one line.
std::string OneLine(std::string text) {
  std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
  return text;
}

bool SameFile(const std::string& a, const std::string& b) { return UpperAscii(a) == UpperAscii(b); }

std::string DriveOnly(const std::string& path) {
  if (!path.empty() && path[0] == '\\') return path;
  return path.substr(0, 1);
}

// Settings whose values are never shown: the proxy password (stored scrambled,
// which is no protection from anyone who reads it).
bool IsSecret(const std::string& name) { return Trim(KeyOf(name)) == "PROXYPWD"; }

// Retries of a save whose file stays unwritable although its read-only flag
// could be cleared: without a limit the exit would never end.
constexpr int kAccessRetries = 3;

}  // namespace

int cSHAREDSettings::IndexOf(const std::string& name) const {
  auto found = index_.find(KeyOf(name));
  return found == index_.end() ? -1 : static_cast<int>(found->second);
}

bool cSHAREDSettings::IsSettingPresent(const std::string& settingTitle) const {
  return IndexOf(settingTitle) >= 0;
}

void cSHAREDSettings::DeleteAllSettings() {
  entries_.clear();
  index_.clear();
}

void cSHAREDSettings::DeleteSetting(const std::string& settingTitle) {
  int index = IndexOf(settingTitle);
  if (index < 0) return;
  entries_.erase(entries_.begin() + index);
  index_.clear();
  for (size_t i = 0; i < entries_.size(); ++i) index_.emplace(KeyOf(entries_[i].KeyName), i);
}

void cSHAREDSettings::AddSetting(const std::string& settingTitle, Variant settingValue) {
  TrapToLog("AddSetting", kModule, [&] {
    if (settingValue.IsBool()) settingValue = Variant(settingValue.AsBool() ? -1L : 0L);
    std::string name = WithoutCommas(settingTitle);
    auto [place, added] = index_.try_emplace(UpperLocale(name), entries_.size());
    if (added)
      entries_.push_back({name, std::move(settingValue)});
    else
      entries_[place->second].KeyValue = std::move(settingValue);
  });
}

void cSHAREDSettings::sSet(const std::string& settingTitle, const Variant& settingValue) {
  AddSetting(settingTitle, settingValue);
}

Variant cSHAREDSettings::sGet(const std::string& settingTitle, const Variant& defaultIfUnknown) const {
  Variant result = defaultIfUnknown;
  // After an error, what is held so far is the answer.
  Ignoring([&] {
    int index = IndexOf(settingTitle);
    if (index >= 0) result = entries_[static_cast<size_t>(index)].KeyValue;
    std::string t = UpperLocale(Trim(result.AsText()));
    if (IsFalseWord(t))
      result = Variant(false);
    else if (IsTrueWord(t))
      result = Variant(true);
  });
  return result;
}

std::string cSHAREDSettings::LineErrorText(long number, const std::string& line,
                                           const std::string& settingsFile) {
  std::string shown = line;
  size_t comma = line.find(',');
  if (comma != std::string::npos && IsSecret(line.substr(0, comma)))
    shown = line.substr(0, comma + 1) + "********";
  return "Error " + std::to_string(number) + " in setting file. Line: " + shown + " of " +
         settingsFile;
}

std::string cSHAREDSettings::SaveErrorText(const RuntimeError& error) {
  return ErrorText(error, ErrorStyle::NumberDash) + " in SaveSettings";
}

void cSHAREDSettings::LoadSettings(const std::string& settingsFile) {
  DeleteAllSettings();
  unreadFile_.clear();
  cSharedFileSubs& files = TheFileSubs();
  if (!files.FileExists(settingsFile)) return;
  std::string text;
  if (!files.ReadTextFile(settingsFile, text)) {
    unreadFile_ = settingsFile;
    TheLog().LogEvent(settingsFile + " could not be read: its settings are not used in this run, "
                                     "and it is not saved over");
    return;
  }
  size_t start = 0;
  for (;;) {
    size_t end = text.find("\r\n", start);
    std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    std::optional<RuntimeError> error = Trapping([&] {
      size_t comma = line.find(',');
      if (comma == std::string::npos) return;
      std::string name = line.substr(0, comma);
      std::string value = line.substr(comma + 1);
      if (Trim(name).empty()) return;
      std::string t = UpperLocale(Trim(value));
      if (IsFalseWord(t))
        AddSetting(name, Variant(0L));
      else if (IsTrueWord(t))
        AddSetting(name, Variant(-1L));
      else
        AddSetting(name, Variant(value));
    });
    if (error) {
      TheShowError().ShowErr(LineErrorText(error->Number(), line, settingsFile));
      TheSubs().BusyMouse();
    }
    if (end == std::string::npos) break;
    start = end + 2;
  }
}

std::string cSHAREDSettings::FormatValue(const Variant& value) {
  if (value.IsText()) return value.AsText();
  if (value.IsLong()) return FormatNumber(static_cast<double>(value.AsLong()), true);
  if (value.IsDouble()) return FormatNumber(value.AsDouble(), false);
  if (value.IsBool()) return FormatNumber(value.AsBool() ? -1 : 0, true);
  if (value.IsDate()) return value.AsText();
  return "";
}

std::string cSHAREDSettings::FileContent() const {
  std::string content;
  for (const cSHAREDSetting& entry : entries_)
    content += OneLine(UpperLocale(entry.KeyName)) + "," + OneLine(FormatValue(entry.KeyValue)) +
               "\r\n";
  return Utf8ToAnsi(content);
}

cSHAREDSettings::WriteOutcome cSHAREDSettings::WriteThroughTemporaryFile(
    const std::string& settingsFile, std::optional<RuntimeError>& error) const {
  switch (ReplaceContent(settingsFile, FileContent(), error)) {
    case ReplaceOutcome::Replaced: return WriteOutcome::Written;
    case ReplaceOutcome::WriteFailed: return WriteOutcome::Failed;
    // A folder that takes no new file, or a file that another program holds open: the
    // settings file itself is written.
    case ReplaceOutcome::NotCreated:
    case ReplaceOutcome::ReplaceRefused: break;
  }
  return WriteOutcome::ReplaceRefused;
}

cSHAREDSettings::WriteOutcome cSHAREDSettings::WriteInPlace(
    const std::string& settingsFile, std::optional<RuntimeError>& error) const {
  // The file services log why the file cannot be opened.
  ScopedFile file(TheFileSubs().CreateOutputFile(settingsFile));
  if (!file) return WriteOutcome::NotOpened;
  error = Trapping([&] {
    TheFiles().Write(file.Number(), FileContent());
    file.Close();
  });
  return error ? WriteOutcome::Failed : WriteOutcome::Written;
}

bool cSHAREDSettings::SaveSettings(const std::string& settingsFile) {
  if (!unreadFile_.empty() && SameFile(unreadFile_, settingsFile)) {
    TheLog().LogEvent(settingsFile + " was not read at start-up, so it is kept as it is: the "
                                     "settings of this run are not saved");
    return true;
  }
  cSharedFileSubs& files = TheFileSubs();
  int accessRetries = 0;
  for (;;) {
    // A read-only file that cannot be made writable keeps its contents.
    if (files.FileExists(settingsFile) && files.isReadonly(settingsFile) &&
        !files.MakeReadWrite(settingsFile)) {
      TheLog().LogEvent(settingsFile +
                        " is read only, can't change it to read write, can't update it");
      return true;
    }
    std::optional<RuntimeError> error;
    WriteOutcome outcome = WriteThroughTemporaryFile(settingsFile, error);
    if (outcome == WriteOutcome::ReplaceRefused) outcome = WriteInPlace(settingsFile, error);
    if (outcome != WriteOutcome::Failed || !error) return true;
    const long number = error->Number();
    if (number == err::DiskFull) {
      std::string prompt = "You've run out of disk space on drive " + DriveOnly(settingsFile) +
                           ":\rPlease clear some space and then click Retry, else click Cancel "
                           "to abort.";
      if (ui::MsgBox(prompt, ui::vbRetryCancel) == ui::vbRetry) continue;
      return false;
    }
    if (number == err::PathFileAccess || number == err::BadFileNameOrNumber) {
      if (++accessRetries <= kAccessRetries && files.MakeReadWrite(settingsFile)) continue;
      ui::MsgBox("Your settings file is read-only and I can't change it. Save cancelled.");
      return false;
    }
    TheShowError().ShowErr(SaveErrorText(*error));
    return false;
  }
}

cSHAREDSettings& TheSettings() { return SharedInstance<cSHAREDSettings>(); }

}  // namespace twi
