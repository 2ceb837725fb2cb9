#pragma once
// Drop-down list without free text (a "ComboBox" window). Setting ListIndex
// from code raises OnClick, as a user's choice does.
#include <string>

#include "ui/Control.h"

namespace ui {

class ComboBox : public Control {
 public:
  void Create(Container& parent, const TwipsRect& rect, const CreateArgs& args = {});
  void AddItem(std::string_view text);
  void Clear();
  int ListCount() const;
  std::string List(int index) const;
  int ListIndex() const;
  void SetListIndex(int index);
  // Text of the selected row; empty when none is selected.
  std::string Text() const;

  std::function<void()> OnClick;

  void HandleCommand(int notifyCode) override;
  HBRUSH HandleCtlColor(HDC dc) override;
};

}  // namespace ui
