#include "lang/cSharedLang.h"

#include <windows.h>

#include "diag/cSharedLogging.h"
#include "sys/AppInfo.h"
#include "sys/RuntimeError.h"
#include "ui/Control.h"
#include "ui/Form.h"

namespace twi {

void cSharedLang::Initialise() {
  if (initialised_) return;
  initialised_ = true;
  languageFolder_ = AppFolder();
  words_.clear();
  translations_.clear();
}

std::string cSharedLang::GetTranslation(const std::string& aWord) {
  Initialise();
  for (size_t i = 0; i < words_.size() && i < translations_.size(); ++i)
    if (words_[i] == aWord) return translations_[i];
  return aWord;
}

BOOL CALLBACK cSharedLang::TranslateControl(HWND child, LPARAM data) {
  auto* lang = reinterpret_cast<cSharedLang*>(data);
  ui::Control* control = ui::ControlFromHwnd(child);
  wchar_t cls[32] = {};
  GetClassNameW(child, cls, 32);
  if (!control || lstrcmpW(cls, L"TWInstallPicture") == 0) return TRUE;
  try {
    // A text equal to the current one is not set again, so no change events
    // fire for an untranslated window.
    if (lstrcmpW(cls, L"ComboBox") != 0) {
      std::string caption = control->Caption();
      std::string translated = lang->GetTranslation(caption);
      if (translated != caption) control->SetCaption(translated);
    }
    std::string tip = control->ToolTipText();
    std::string translatedTip = lang->GetTranslation(tip);
    if (translatedTip != tip) control->SetToolTipText(translatedTip);
  } catch (const RuntimeError& e) {
    // A control without the property, or an error with a negative number, is skipped.
    if (e.Number() >= 0)
      TheLog().AddAction(ErrorActionText(e.Description(), e.Number()), "TranslateForm", "mLang");
  }
  return TRUE;
}

void cSharedLang::TranslateForm(ui::Form& aForm) {
  Initialise();
  try {
    // No language font is loaded, so the windows keep their own font.
    std::string caption = aForm.Caption();
    std::string translated = GetTranslation(caption);
    if (translated != caption) aForm.SetCaption(translated);
    if (!aForm.hwnd()) return;
    EnumChildWindows(aForm.hwnd(), &cSharedLang::TranslateControl, reinterpret_cast<LPARAM>(this));
  } catch (const RuntimeError& e) {
    TheLog().AddAction(ErrorActionText(e.Description(), e.Number()), "TranslateForm", "mLang");
  }
}

cSharedLang& TheLang() {
  static cSharedLang lang;
  return lang;
}

}  // namespace twi
