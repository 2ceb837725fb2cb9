#pragma once
// Check box and option button ("Button" windows with the check and radio styles).
#include "ui/Control.h"

namespace ui {

class CheckBox : public Control {
 public:
  void Create(Container& parent, std::string_view caption, const TwipsRect& rect,
              bool visible = true);
  // 0 unchecked, 1 checked.
  int Value() const;
  void SetValue(int value);
  std::function<void()> OnClick;
  void HandleCommand(int notifyCode) override;
  HBRUSH HandleCtlColor(HDC dc) override;
};

class OptionButton : public Control {
 public:
  // The first option of a group passes firstOfGroup = true.
  void Create(Container& parent, std::string_view caption, const TwipsRect& rect,
              bool firstOfGroup = false, bool visible = true);
  bool Value() const;
  // Choosing an option from code clears the others of its group and raises OnClick.
  void SetValue(bool value);
  std::function<void()> OnClick;
  void HandleCommand(int notifyCode) override;
  HBRUSH HandleCtlColor(HDC dc) override;
};

}  // namespace ui
