#pragma once
// Command button (a "Button" window).
#include "ui/Control.h"

namespace ui {

class Button : public Control {
 public:
  void Create(Container& parent, std::string_view caption, const TwipsRect& rect,
              const CreateArgs& args = {});
  void CreateCopyOf(const Button& model) { CreateAsCopyOf(model); }
  // Presses the button from code: runs its click handler as a user click would.
  void Click();

  std::function<void()> OnClick;

  void HandleCommand(int notifyCode) override;
  HBRUSH HandleCtlColor(HDC dc) override;
};

}  // namespace ui
