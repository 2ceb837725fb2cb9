#include "settings/cSHAREDSettings.h"

#include <windows.h>

#include "base/FileSystem.h"
#include "base/FileTable.h"
#include "base/NoDestructor.h"
#include "base/RuntimeError.h"
#include "base/TextConv.h"
#include "base/Trap.h"
#include "diag/cSharedLogging.h"
#include "sys/cSharedDateSubs.h"
#include "sys/cSharedFileSubs.h"
#include "ui/MsgBox.h"

namespace twi {
namespace {

std::string WithoutCommas(const std::string& name) { return ReplaceAll(name, ",", ""); }

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

std::string DriveOnly(const std::string& path) {
  if (!path.empty() && path[0] == '\\') return path;
  return path.substr(0, 1);
}

// Retries of a save whose file stays unwritable although its read-only flag
// could be cleared (a file another program holds open): without a limit the
// exit would never end.
constexpr int kAccessRetries = 3;

}  // namespace

int cSHAREDSettings::IndexOf(const std::string& name) const {
  std::string key = UpperLocale(WithoutCommas(name));
  for (size_t i = 0; i < entries_.size(); ++i)
    if (UpperLocale(entries_[i].KeyName) == key) return static_cast<int>(i);
  return -1;
}

bool cSHAREDSettings::IsSettingPresent(const std::string& settingTitle) const {
  return IndexOf(settingTitle) >= 0;
}

void cSHAREDSettings::AddSetting(const std::string& settingTitle, Variant settingValue) {
  if (settingValue.IsBool()) settingValue = Variant(settingValue.AsBool() ? -1L : 0L);
  std::string name = WithoutCommas(settingTitle);
  int index = IndexOf(name);
  if (index >= 0)
    entries_[static_cast<size_t>(index)].KeyValue = std::move(settingValue);
  else
    entries_.push_back({name, std::move(settingValue)});
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

void cSHAREDSettings::LoadSettings(const std::string& settingsFile) {
  DeleteAllSettings();
  cSharedFileSubs& files = TheFileSubs();
  if (!files.FileExists(settingsFile)) return;
  std::string text;
  files.ReadTextFile(settingsFile, text);
  size_t start = 0;
  for (;;) {
    size_t end = text.find("\r\n", start);
    std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    size_t comma = line.find(',');
    if (comma != std::string::npos) {
      std::string name = line.substr(0, comma);
      std::string value = line.substr(comma + 1);
      if (!Trim(name).empty()) {
        std::string t = UpperLocale(Trim(value));
        if (IsFalseWord(t))
          AddSetting(name, Variant(0L));
        else if (IsTrueWord(t))
          AddSetting(name, Variant(-1L));
        else
          AddSetting(name, Variant(value));
      }
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

bool cSHAREDSettings::WriteFile(const std::string& path, long& errorNumber) {
  ScopedFile file(TheFileSubs().CreateOutputFile(path));
  if (!file) {
    errorNumber = 0;
    return false;
  }
  std::optional<RuntimeError> error = Trapping([&] {
    for (const cSHAREDSetting& entry : entries_)
      TheFiles().WriteLine(file.Number(),
                           UpperLocale(entry.KeyName) + "," + FormatValue(entry.KeyValue));
    file.Close();
  });
  errorNumber = error ? error->Number() : 0;
  return !error;
}

bool cSHAREDSettings::SaveSettings(const std::string& settingsFile) {
  cSharedFileSubs& files = TheFileSubs();
  int accessRetries = 0;
  for (;;) {
    if (files.FileExists(settingsFile) && files.isReadonly(settingsFile) &&
        !files.MakeReadWrite(settingsFile)) {
      TheLog().LogEvent(settingsFile +
                        " is read only, can't change it to read write, can't update it");
      return true;  // nothing written; the file keeps its contents
    }
    std::string temp = settingsFile + ".new";
    long error = 0;
    bool written = WriteFile(temp, error);
    if (!written && error == 0) return true;  // could not be opened: nothing written
    if (written) {
      unsigned long code = ReplaceFileWith(temp, settingsFile);
      if (code == 0) return true;
      error = RuntimeError::FromWin32(code).Number();
    }
    files.EraseFile(temp);
    if (error == err::DiskFull) {
      std::string prompt = "You've run out of disk space on drive " + DriveOnly(settingsFile) +
                           ":\rPlease clear some space and then click Retry, else click Cancel "
                           "to abort.";
      if (ui::MsgBox(prompt, ui::vbRetryCancel) == ui::vbRetry) continue;
      return false;
    }
    if (error == err::PathFileAccess || error == err::BadFileNameOrNumber ||
        error == err::PermissionDenied) {
      if (++accessRetries <= kAccessRetries && files.MakeReadWrite(settingsFile)) continue;
      ui::MsgBox("Your settings file is read-only and I can't change it. Save cancelled.");
      return false;
    }
    TheLog().AddAction(ErrorText(RuntimeError::Numbered(error), ErrorStyle::NumberDash) +
                       " in SaveSettings");
    return false;
  }
}

cSHAREDSettings& TheSettings() { return SharedInstance<cSHAREDSettings>(); }

}  // namespace twi
