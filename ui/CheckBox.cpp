#include "ui/CheckBox.h"

namespace ui {

void CheckBox::Create(Container& parent, std::string_view caption, const TwipsRect& rect,
                      bool visible) {
  CreateParams params;
  params.className = L"Button";
  params.style = BS_AUTOCHECKBOX | WS_TABSTOP | (visible ? WS_VISIBLE : 0);
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

HBRUSH CheckBox::HandleCtlColor(HDC dc) {
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return GetSysColorBrush(COLOR_BTNFACE);
}

void OptionButton::Create(Container& parent, std::string_view caption, const TwipsRect& rect,
                          bool firstOfGroup, bool visible) {
  CreateParams params;
  params.className = L"Button";
  params.style = BS_AUTORADIOBUTTON | (firstOfGroup ? (WS_GROUP | WS_TABSTOP) : 0) |
                 (visible ? WS_VISIBLE : 0);
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

HBRUSH OptionButton::HandleCtlColor(HDC dc) {
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return GetSysColorBrush(COLOR_BTNFACE);
}

}  // namespace ui
