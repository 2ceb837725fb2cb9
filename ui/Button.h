#pragma once
// Command button (a "Button" window).
#include "ui/Control.h"
#include "ui/Gdi.h"

#include <uxtheme.h>

namespace ui {

class Button : public Control {
 public:
  void Create(Container& parent, std::string_view caption, const TwipsRect& rect,
              const CreateArgs& args = {});
  void CreateCopyOf(const Button& model) { CreateAsCopyOf(model); }
  // Presses the button from code: runs its click handler as a user click would.
  void Click();

  std::function<void()> OnClick;

  void SetCaption(std::string_view text) override;
  void HandleCommand(int notifyCode) override;
  HBRUSH HandleCtlColor(HDC dc) override;

 protected:
  void FontApplied() override { FitCaption(); }

 private:
  struct CaptionLayout {
    bool fits = false;                // the caption fits the caption area
    bool systemDrawsItWhole = false;  // and the system's drawing shows it whole
  };
  // A caption that does not fit the button in its font (a long caption in a small
  // button, a wide font under another system) gets the same font a little smaller; one
  // that the system would not show whole is drawn by the button itself.
  void FitCaption();
  CaptionLayout LayoutIn(HFONT font) const;
  RECT CaptionArea(HDC dc, HTHEME theme) const;
  void DrawOwnCaption(bool own);
  bool HandleDrawItem(const DRAWITEMSTRUCT& item) override;

  GdiObject<HFONT> fittedFont_;  // set only while the dialog font is too large
};

}  // namespace ui
