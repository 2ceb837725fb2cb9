#include "ui/Label.h"

#include "base/TextConv.h"
#include "ui/Gdi.h"

namespace ui {

void Label::Create(Container& parent, std::string_view caption, const TwipsRect& rect,
                   const CreateArgs& args) {
  CreateParams params;
  params.className = L"Static";
  params.style = SS_NOTIFY | SS_NOPREFIX | VisibleStyle(args);
  params.style |= args.alignment == Alignment::Center  ? SS_CENTER
                  : args.alignment == Alignment::Right ? SS_RIGHT
                                                       : SS_LEFT;
  CreateWindowIn(parent, params, caption, rect);
}

void Label::SetForeColor(const Colour& colour) {
  foreColour_ = colour;
  if (hwnd()) InvalidateRect(hwnd(), nullptr, TRUE);
}

void Label::SetBackColor(const Colour& colour) {
  backColour_ = colour;
  if (hwnd()) InvalidateRect(hwnd(), nullptr, TRUE);
}

void Label::SetBorder(bool border) {
  if (!hwnd()) return;
  LONG_PTR style = GetWindowLongPtrW(hwnd(), GWL_STYLE);
  style = border ? (style | WS_BORDER) : (style & ~static_cast<LONG_PTR>(WS_BORDER));
  SetWindowLongPtrW(hwnd(), GWL_STYLE, style);
  SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void Label::SetCaption(std::string_view text) {
  if (!hwnd()) return;
  bool changed = Caption() != text;
  Control::SetCaption(text);
  if (changed && OnChange) OnChange();
}

int Label::TextWidthTwips() const {
  if (!hwnd()) return 0;
  WindowDC dc(hwnd());
  Selection font(dc.Get(), DialogFont(FontBold()));
  std::wstring text = twi::ToWide(Caption());
  SIZE size{};
  GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
  return PixelsToTwips(size.cx);
}

void Label::HandleCommand(int notifyCode) {
  if (notifyCode == STN_CLICKED && OnClick) OnClick();
}

}  // namespace ui
