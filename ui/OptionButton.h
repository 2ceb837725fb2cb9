#pragma once
// Option button (a "Button" window with the radio style). The options of a
// group are the siblings from one created with firstOfGroup to the next.
#include "ui/Control.h"

namespace ui {

class OptionButton : public Control {
 public:
  // The first option of a group passes {.firstOfGroup = true}.
  void Create(Container& parent, std::string_view caption, const TwipsRect& rect,
              const CreateArgs& args = {});
  bool Value() const;
  // Choosing an option from code clears the others of its group and raises OnClick.
  void SetValue(bool value);
  std::function<void()> OnClick;
  void HandleCommand(int notifyCode) override;
  HBRUSH HandleCtlColor(HDC dc) override;
};

}  // namespace ui
