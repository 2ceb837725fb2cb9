#include "ui/TextBox.h"

namespace ui {

void TextBox::Create(Container& parent, const TwipsRect& rect, const CreateArgs& args) {
  CreateParams params;
  params.className = L"Edit";
  params.exStyle = WS_EX_CLIENTEDGE;
  params.style = WS_TABSTOP | VisibleStyle(args);
  if (args.multiLine)
    params.style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
  else
    params.style |= ES_AUTOHSCROLL;
  if (args.password) params.style |= ES_PASSWORD;
  if (args.readOnly) params.style |= ES_READONLY;
  if (args.verticalScroll) params.style |= WS_VSCROLL;
  CreateWindowIn(parent, params, "", rect);
  if (args.password) SendMessageW(hwnd(), EM_SETPASSWORDCHAR, L'*', 0);
  // A multi-line box holds whole files (a log): no limit below the system's own.
  if (args.multiLine) SendMessageW(hwnd(), EM_SETLIMITTEXT, 0, 0);
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
