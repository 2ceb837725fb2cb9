#pragma once
// Check box (a "Button" window with the check style).
#include "ui/Control.h"

namespace ui {

class CheckBox : public Control {
 public:
  void Create(Container& parent, std::string_view caption, const TwipsRect& rect,
              const CreateArgs& args = {});
  // 0 unchecked, 1 checked.
  int Value() const;
  // Setting a different value from code raises OnClick, as a click does.
  void SetValue(int value);
  std::function<void()> OnClick;
  void HandleCommand(int notifyCode) override;
  HBRUSH HandleCtlColor(HDC dc) override;
};

}  // namespace ui
