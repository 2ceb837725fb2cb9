#include "ui/CheckBox.h"

namespace ui {

void CheckBox::Create(Container& parent, std::string_view caption, const TwipsRect& rect,
                      const CreateArgs& args) {
  CreateParams params;
  params.className = L"Button";
  params.style = BS_AUTOCHECKBOX | WS_TABSTOP | VisibleStyle(args);
  CreateWindowIn(parent, params, caption, rect);
}

int CheckBox::Value() const {
  return hwnd() && SendMessageW(hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void CheckBox::SetValue(int value) {
  if (!hwnd()) return;
  bool changed = Value() != (value ? 1 : 0);
  SendMessageW(hwnd(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
  if (changed && OnClick) OnClick();
}

void CheckBox::HandleCommand(int notifyCode) {
  if (notifyCode == BN_CLICKED && OnClick) OnClick();
}

HBRUSH CheckBox::HandleCtlColor(HDC dc) { return ButtonFaceColours(dc); }

}  // namespace ui
