#pragma once
// Text box (an "Edit" window): single or multi-line, optionally a password
// field, read-only or with a vertical scroll bar.
#include <string>

#include "ui/Control.h"

namespace ui {

struct TextBoxStyle {
  bool multiLine = false;
  bool password = false;
  bool readOnly = false;
  bool verticalScroll = false;
};

class TextBox : public Control {
 public:
  void Create(Container& parent, const TwipsRect& rect, TextBoxStyle style = {},
              bool visible = true);
  void SetText(std::string_view text) { SetCaption(text); }
  std::string Text() const { return Caption(); }

  std::function<void()> OnChange;
  std::function<void()> OnClick;

  void HandleCommand(int notifyCode) override;
  HBRUSH HandleCtlColor(HDC dc) override;
  LRESULT HandleSubclassMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool& handled) override;
};

}  // namespace ui
