#include "ui/Frame.h"

#include "ui/Form.h"

namespace ui {

void Frame::Create(Container& parent, std::string_view caption, const TwipsRect& rect,
                   const CreateArgs& args) {
  CreateParams params;
  params.className = L"Button";
  params.style = BS_GROUPBOX | WS_CLIPCHILDREN | VisibleStyle(args);
  params.exStyle = WS_EX_CONTROLPARENT;
  CreateWindowIn(parent, params, caption, rect);
}

HBRUSH Frame::HandleCtlColor(HDC dc) { return ButtonFaceColours(dc); }

LRESULT Frame::HandleSubclassMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool& handled) {
  switch (msg) {
    // Notifications of the frame's children go to the form, which routes them.
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_DRAWITEM:
      handled = true;
      return SendMessageW(GetParent(hwnd), msg, wp, lp);
    // A group box is normally transparent to the mouse; a frame takes its moves.
    case WM_NCHITTEST: handled = true; return HTCLIENT;
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(hwnd, &r);
      FillRect(reinterpret_cast<HDC>(wp), &r, GetSysColorBrush(COLOR_BTNFACE));
      handled = true;
      return TRUE;
    }
    default: return Control::HandleSubclassMessage(hwnd, msg, wp, lp, handled);
  }
}

}  // namespace ui
