#include "ui/Button.h"

namespace ui {

void Button::Create(Container& parent, std::string_view caption, const TwipsRect& rect,
                    bool visible) {
  CreateParams params;
  params.className = L"Button";
  params.style = BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP | (visible ? WS_VISIBLE : 0);
  CreateWindowIn(parent, params, caption, rect);
}

void Button::Click() {
  if (OnClick) OnClick();
}

void Button::HandleCommand(int notifyCode) {
  if (notifyCode == BN_CLICKED) Click();
}

HBRUSH Button::HandleCtlColor(HDC dc) {
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return GetSysColorBrush(COLOR_BTNFACE);
}

}  // namespace ui
