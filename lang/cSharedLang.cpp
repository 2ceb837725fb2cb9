#include "lang/cSharedLang.h"

#include <windows.h>

#include "base/AppInfo.h"
#include "base/NoDestructor.h"
#include "base/Trap.h"
#include "diag/TrapToLog.h"
#include "ui/Control.h"
#include "ui/Form.h"
#include "ui/PictureBox.h"

namespace twi {
namespace {

constexpr const char* kModule = "mLang";

}  // namespace

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
  if (!control || dynamic_cast<ui::PictureBox*>(control)) return TRUE;
  wchar_t cls[32] = {};
  GetClassNameW(child, cls, 32);
  std::optional<RuntimeError> error = Trapping([&] {
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
  });
  // A control without the property, or an error with a negative number, is skipped.
  if (error && error->Number() >= 0) RecordTrapped(*error, "TranslateForm", kModule);
  return TRUE;
}

void cSharedLang::TranslateForm(ui::Form& aForm) {
  Initialise();
  TrapToLog("TranslateForm", kModule, [&] {
    // No language font is loaded, so the windows keep their own font.
    std::string caption = aForm.Caption();
    std::string translated = GetTranslation(caption);
    if (translated != caption) aForm.SetCaption(translated);
    if (!aForm.hwnd()) return;
    EnumChildWindows(aForm.hwnd(), &cSharedLang::TranslateControl, reinterpret_cast<LPARAM>(this));
  });
}

cSharedLang& TheLang() { return SharedInstance<cSharedLang>(); }

}  // namespace twi
