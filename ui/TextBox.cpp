#include "ui/TextBox.h"

namespace ui {

void TextBox::Create(Container& parent, const TwipsRect& rect, TextBoxStyle style, bool visible) {
  CreateParams params;
  params.className = L"Edit";
  params.exStyle = WS_EX_CLIENTEDGE;
  params.style = WS_TABSTOP | (visible ? WS_VISIBLE : 0);
  if (style.multiLine)
    params.style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
  else
    params.style |= ES_AUTOHSCROLL;
  if (style.password) params.style |= ES_PASSWORD;
  if (style.readOnly) params.style |= ES_READONLY;
  if (style.verticalScroll) params.style |= WS_VSCROLL;
  CreateWindowIn(parent, params, "", rect);
  if (style.password) SendMessageW(hwnd(), EM_SETPASSWORDCHAR, L'*', 0);
}

void TextBox::HandleCommand(int notifyCode) {
  if (notifyCode == EN_CHANGE && OnChange) OnChange();
}

HBRUSH TextBox::HandleCtlColor(HDC /*dc*/) { return nullptr; }

LRESULT TextBox::HandleSubclassMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool& handled) {
  if (msg == WM_LBUTTONUP && OnClick) OnClick();
  return Control::HandleSubclassMessage(hwnd, msg, wp, lp, handled);
}

}  // namespace ui
