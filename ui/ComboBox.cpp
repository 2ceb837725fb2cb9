#include "ui/ComboBox.h"

#include "base/TextConv.h"

namespace ui {

void ComboBox::Create(Container& parent, const TwipsRect& rect, const CreateArgs& args) {
  CreateParams params;
  params.className = L"ComboBox";
  params.style = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | VisibleStyle(args);
  // The window's height is that of the opened list; the closed box takes the
  // height of its font.
  TwipsRect dropped = rect;
  dropped.height = rect.height * 12;
  CreateWindowIn(parent, params, "", dropped);
}

void ComboBox::AddItem(std::string_view text) {
  if (hwnd())
    SendMessageW(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(twi::ToWide(text).c_str()));
}

void ComboBox::Clear() {
  if (hwnd()) SendMessageW(hwnd(), CB_RESETCONTENT, 0, 0);
}

int ComboBox::ListCount() const {
  return hwnd() ? static_cast<int>(SendMessageW(hwnd(), CB_GETCOUNT, 0, 0)) : 0;
}

std::string ComboBox::List(int index) const {
  if (!hwnd()) return {};
  LRESULT n = SendMessageW(hwnd(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (n == CB_ERR) return {};
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  SendMessageW(hwnd(), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(n));
  return twi::ToUtf8(text);
}

int ComboBox::ListIndex() const {
  return hwnd() ? static_cast<int>(SendMessageW(hwnd(), CB_GETCURSEL, 0, 0)) : -1;
}

void ComboBox::SetListIndex(int index) {
  if (!hwnd()) return;
  SendMessageW(hwnd(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  if (OnClick) OnClick();
}

std::string ComboBox::Text() const {
  int index = ListIndex();
  return index < 0 ? std::string() : List(index);
}

void ComboBox::HandleCommand(int notifyCode) {
  if (notifyCode == CBN_SELCHANGE && OnClick) OnClick();
}

HBRUSH ComboBox::HandleCtlColor(HDC /*dc*/) { return nullptr; }

}  // namespace ui
