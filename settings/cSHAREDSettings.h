#pragma once
// The program's named settings, in memory and in TWInstaller.ini: one setting
// per line, "NAME,value", in the ANSI code page with CR LF line ends. Names are
// kept in the order they were first added and compared without regard to case
// (commas removed; letters compared as the user's locale upper-cases them),
// through an index from the upper-cased name to the entry's place.
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/ReplaceContent.h"
#include "base/RuntimeError.h"
#include "settings/Variant.h"

namespace twi {

struct cSHAREDSetting {
  std::string KeyName;
  Variant KeyValue;
};

class cSHAREDSettings {
 public:
  // Empties the store and fills it from the file (a missing file leaves it
  // empty). A line that fails is shown in the error display, and the next line
  // is read. A file that exists but cannot be read (another program holds it
  // without read sharing) leaves the store empty, and is never saved over by this
  // store: its settings would be lost (both logged).
  void LoadSettings(const std::string& settingsFile);
  // Writes the whole store. The new content goes to a temporary file that then
  // replaces the old one, so a failed or cancelled save leaves the old file;
  // where the replace is refused (another program holds the file open, the
  // folder takes no new files) the content is written over the file itself, as
  // a direct write would. A full disk asks Retry or Cancel; a file that stays
  // unwritable says the save was cancelled; any other error goes to the error
  // display. False when the save was cancelled or failed. Line breaks in names and
  // values are dropped: a value is one line of the file. A file that could not be
  // read at load is kept as it is (logged; true).
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
  // A setting's value as text; an unknown setting reads as "".
  std::string TextOf(const std::string& settingTitle) const {
    return sGet(settingTitle, std::string()).AsText();
  }
  bool IsSettingPresent(const std::string& settingTitle) const;
  void DeleteAllSettings();
  // Removes one setting (nothing when it is not there); the others keep their order.
  void DeleteSetting(const std::string& settingTitle);
  const std::vector<cSHAREDSetting>& Entries() const { return entries_; }

  // The text a value is written as after the comma.
  static std::string FormatValue(const Variant& value);
  // What the error display shows for a line of `settingsFile` that failed to
  // load: "Error <number> in setting file. Line: <line> of <file>". The value of
  // a secret setting (the proxy password) is not shown.
  static std::string LineErrorText(long number, const std::string& line,
                                   const std::string& settingsFile);
  // What the error display shows for a save error that is neither a full disk
  // nor an unwritable file: "<number> - <description> in SaveSettings".
  static std::string SaveErrorText(const RuntimeError& error);
  // The file a save writes before it replaces the settings file.
  static std::string TemporaryFileOf(const std::string& settingsFile) {
    return ReplacementFileOf(settingsFile);
  }

 private:
  enum class WriteOutcome { Written, NotOpened, Failed, ReplaceRefused };
  void AddSetting(const std::string& settingTitle, Variant settingValue);
  int IndexOf(const std::string& name) const;
  std::string FileContent() const;
  WriteOutcome WriteThroughTemporaryFile(const std::string& settingsFile,
                                         std::optional<RuntimeError>& error) const;
  WriteOutcome WriteInPlace(const std::string& settingsFile,
                            std::optional<RuntimeError>& error) const;

  std::vector<cSHAREDSetting> entries_;
  std::unordered_map<std::string, std::size_t> index_;  // upper-cased name -> place
  std::string unreadFile_;  // a settings file that existed but could not be read
};

cSHAREDSettings& TheSettings();

}  // namespace twi
