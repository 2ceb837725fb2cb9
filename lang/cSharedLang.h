#pragma once
// Translation hooks through which windows and messages pass. The install
// center loads no language, so every text comes back as it went in; the hooks
// keep the windows ready for a translation table.
#include <windows.h>

#include <string>
#include <vector>

namespace ui {
class Form;
}

namespace twi {

class cSharedLang {
 public:
  std::string GetTranslation(const std::string& aWord);
  // Passes the caption of the window and the caption, tool tip and text of each
  // of its controls through GetTranslation (picture boxes skipped).
  void TranslateForm(ui::Form& aForm);

 private:
  void Initialise();
  static BOOL CALLBACK TranslateControl(HWND child, LPARAM data);
  bool initialised_ = false;
  std::string languageFolder_;
  std::vector<std::string> words_, translations_;  // empty: no language loaded
  std::string fontName_;
};

cSharedLang& TheLang();

}  // namespace twi
