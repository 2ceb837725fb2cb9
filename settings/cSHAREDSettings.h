#pragma once
// The program's named settings, in memory and in TWInstaller.ini: one setting
// per line, "NAME,value", in the ANSI code page with CR LF line ends. Names are
// kept in the order they were first added and compared without regard to case
// (commas removed).
#include <string>
#include <vector>

#include "settings/Variant.h"

namespace twi {

struct cSHAREDSetting {
  std::string KeyName;
  Variant KeyValue;
};

class cSHAREDSettings {
 public:
  void LoadSettings(const std::string& settingsFile);
  // Writes the whole store. The file is written under a temporary name and then
  // replaces the old one, so a failed or cancelled save leaves the old file.
  bool SaveSettings(const std::string& settingsFile);
  void sSet(const std::string& settingTitle, const Variant& settingValue);
  void StoreSetting(const std::string& settingTitle, const Variant& settingValue) {
    sSet(settingTitle, settingValue);
  }
  Variant sGet(const std::string& settingTitle, const Variant& defaultIfUnknown = Variant()) const;
  Variant RetrieveSetting(const std::string& settingTitle,
                          const Variant& defaultIfUnknown = Variant()) const {
    return sGet(settingTitle, defaultIfUnknown);
  }
  bool IsSettingPresent(const std::string& settingTitle) const;
  void DeleteAllSettings() { entries_.clear(); }
  const std::vector<cSHAREDSetting>& Entries() const { return entries_; }

  // The text a value is written as after the comma.
  static std::string FormatValue(const Variant& value);

 private:
  void AddSetting(const std::string& settingTitle, Variant settingValue);
  int IndexOf(const std::string& name) const;
  bool WriteFile(const std::string& path, long& errorNumber);

  std::vector<cSHAREDSetting> entries_;
};

cSHAREDSettings& TheSettings();

}  // namespace twi
