#include "ui/Button.h"

namespace ui {

void Button::Create(Container& parent, std::string_view caption, const TwipsRect& rect,
                    const CreateArgs& args) {
  CreateParams params;
  params.className = L"Button";
  params.style = BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP | VisibleStyle(args);
  CreateWindowIn(parent, params, caption, rect);
}

void Button::Click() {
  if (OnClick) OnClick();
}

void Button::HandleCommand(int notifyCode) {
  if (notifyCode == BN_CLICKED) Click();
}

HBRUSH Button::HandleCtlColor(HDC dc) { return ButtonFaceColours(dc); }

}  // namespace ui
