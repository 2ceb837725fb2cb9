#include "ui/OptionButton.h"

namespace ui {

void OptionButton::Create(Container& parent, std::string_view caption, const TwipsRect& rect,
                          const CreateArgs& args) {
  CreateParams params;
  params.className = L"Button";
  params.style = BS_AUTORADIOBUTTON | (args.firstOfGroup ? (WS_GROUP | WS_TABSTOP) : 0) |
                 VisibleStyle(args);
  CreateWindowIn(parent, params, caption, rect);
}

bool OptionButton::Value() const {
  return hwnd() && SendMessageW(hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void OptionButton::SetValue(bool value) {
  if (!hwnd()) return;
  if (!value) {
    SendMessageW(hwnd(), BM_SETCHECK, BST_UNCHECKED, 0);
    return;
  }
  // Clear the siblings of the same group, as a click would.
  HWND parent = GetParent(hwnd());
  for (HWND sibling = GetWindow(parent, GW_CHILD); sibling;
       sibling = GetWindow(sibling, GW_HWNDNEXT)) {
    if (sibling != hwnd() && (GetWindowLongPtrW(sibling, GWL_STYLE) & 0x0F) == BS_AUTORADIOBUTTON)
      SendMessageW(sibling, BM_SETCHECK, BST_UNCHECKED, 0);
  }
  SendMessageW(hwnd(), BM_SETCHECK, BST_CHECKED, 0);
  if (OnClick) OnClick();
}

void OptionButton::HandleCommand(int notifyCode) {
  if (notifyCode == BN_CLICKED && OnClick) OnClick();
}

HBRUSH OptionButton::HandleCtlColor(HDC dc) { return ButtonFaceColours(dc); }

}  // namespace ui
