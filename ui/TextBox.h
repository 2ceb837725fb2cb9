#pragma once
// Text box (an "Edit" window): single or multi-line, optionally a password
// field, read-only or with a vertical scroll bar.
#include <string>

#include "ui/Control.h"

namespace ui {

class TextBox : public Control {
 public:
  // {.multiLine, .password, .readOnly, .verticalScroll} choose the kind of box.
  void Create(Container& parent, const TwipsRect& rect, const CreateArgs& args = {});
  void SetText(std::string_view text) { SetCaption(text); }
  std::string Text() const { return Caption(); }

  std::function<void()> OnChange;
  std::function<void()> OnClick;

  void HandleCommand(int notifyCode) override;
  HBRUSH HandleCtlColor(HDC dc) override;
  LRESULT HandleSubclassMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool& handled) override;
};

}  // namespace ui
