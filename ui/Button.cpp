#include "ui/Button.h"

#include <uxtheme.h>
#include <vssym32.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "base/TextConv.h"
#include "ui/Look.h"

namespace ui {
namespace {

constexpr UINT kCaptionFormat = DT_WORDBREAK | DT_CENTER;

// The height `text` needs at `width` in the font selected into `dc`, and its width.
SIZE Measured(HDC dc, const std::wstring& text, int width) {
  RECT needed{0, 0, width, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed, kCaptionFormat | DT_CALCRECT);
  return {needed.right, needed.bottom};
}

// A button's visual style, closed when it goes.
class ButtonTheme {
 public:
  explicit ButtonTheme(HWND hwnd) : theme_(IsAppThemed() ? OpenThemeData(hwnd, L"Button") : nullptr) {}
  ~ButtonTheme() {
    if (theme_) CloseThemeData(theme_);
  }
  ButtonTheme(const ButtonTheme&) = delete;
  ButtonTheme& operator=(const ButtonTheme&) = delete;
  HTHEME Get() const { return theme_; }

 private:
  HTHEME theme_;
};

}  // namespace

void Button::Create(Container& parent, std::string_view caption, const TwipsRect& rect,
                    const CreateArgs& args) {
  CreateParams params;
  params.className = L"Button";
  params.style = BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP | VisibleStyle(args);
  CreateWindowIn(parent, params, caption, rect);
}

void Button::SetCaption(std::string_view text) {
  Control::SetCaption(text);
  FitCaption();
}

// Where the caption goes: inside the visual style's content margins, or inside the
// classic edges and a pixel.
RECT Button::CaptionArea(HDC dc, HTHEME theme) const {
  RECT client{};
  GetClientRect(hwnd(), &client);
  RECT area = client;
  if (!theme || FAILED(GetThemeBackgroundContentRect(theme, dc, BP_PUSHBUTTON, PBS_NORMAL,
                                                     &client, &area))) {
    area = client;
    InflateRect(&area, -(GetSystemMetrics(SM_CXEDGE) + 1), -(GetSystemMetrics(SM_CYEDGE) + 1));
  }
  return area;
}

Button::CaptionLayout Button::LayoutIn(HFONT font) const {
  std::wstring text = twi::ToWide(Caption());
  WindowDC dc(hwnd());
  ButtonTheme theme(hwnd());
  const RECT area = CaptionArea(dc.Get(), theme.Get());
  const int width = area.right - area.left, height = area.bottom - area.top;
  Selection chosen(dc.Get(), font);
  const SIZE needed = Measured(dc.Get(), text, width);
  // The system draws the caption in a box just as wide as it measured it, and Wine then
  // breaks a first line that is the longest once more ("Stop Current" / "Download"
  // becomes three lines): measured again at that width, such a caption needs more room.
  const SIZE drawn = Measured(dc.Get(), text, static_cast<int>(needed.cx));
  CaptionLayout layout;
  layout.fits = needed.cx <= width && needed.cy <= height;
  layout.systemDrawsItWhole = layout.fits && drawn.cy == needed.cy;
  return layout;
}

void Button::FitCaption() {
  if (!hwnd()) return;
  HFONT dialogFont = DialogFont(FontBold());
  fittedFont_.Reset();
  CaptionLayout layout = LayoutIn(dialogFont);
  if (!layout.fits) {
    LOGFONTW font{};
    GetObjectW(dialogFont, sizeof(font), &font);
    const int sign = font.lfHeight < 0 ? -1 : 1;
    constexpr int kSmallestHeight = 8;  // pixels: smaller is no longer readable
    for (int height = std::abs(font.lfHeight) - 1; height >= kSmallestHeight && !layout.fits;
         --height) {
      font.lfHeight = sign * height;
      font.lfWidth = 0;
      fittedFont_.Reset(CreateFontIndirectW(&font));
      if (!fittedFont_) break;
      layout = LayoutIn(fittedFont_.Get());
    }
  }
  SendMessageW(hwnd(), WM_SETFONT,
               reinterpret_cast<WPARAM>(fittedFont_ ? fittedFont_.Get() : dialogFont), FALSE);
  DrawOwnCaption(!layout.systemDrawsItWhole);
}

// A caption the system would not show whole is drawn by the button itself (owner drawn),
// in the whole caption area; the frame is still the system's (its visual style or the
// classic one).
void Button::DrawOwnCaption(bool own) {
  const LONG style = GetWindowLongW(hwnd(), GWL_STYLE);
  const LONG type = own ? BS_OWNERDRAW : BS_PUSHBUTTON;
  if ((style & BS_TYPEMASK) != type) SetWindowLongW(hwnd(), GWL_STYLE, (style & ~BS_TYPEMASK) | type);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

bool Button::HandleDrawItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT frame = item.rcItem;
  const bool pushed = item.itemState & ODS_SELECTED, disabled = item.itemState & ODS_DISABLED;
  ButtonTheme theme(hwnd());
  if (theme.Get()) {
    const int state = disabled ? PBS_DISABLED : pushed ? PBS_PRESSED : PBS_NORMAL;
    if (IsThemeBackgroundPartiallyTransparent(theme.Get(), BP_PUSHBUTTON, state))
      DrawThemeParentBackground(hwnd(), dc, &frame);
    DrawThemeBackground(theme.Get(), dc, BP_PUSHBUTTON, state, &frame, nullptr);
  } else {
    DrawFrameControl(dc, &frame, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
  }
  RECT area = CaptionArea(dc, theme.Get());
  if (pushed) OffsetRect(&area, 1, 1);
  std::wstring text = twi::ToWide(Caption());
  Selection chosen(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
  const SIZE needed = Measured(dc, text, area.right - area.left);
  RECT placed = area;
  placed.top += std::max(0L, (area.bottom - area.top - needed.cy) / 2);
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColour = SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &placed, kCaptionFormat);
  SetTextColor(dc, oldColour);
  SetBkMode(dc, oldMode);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = frame;
    InflateRect(&focus, -3, -3);
    DrawFocusRect(dc, &focus);
  }
  return true;
}

void Button::Click() {
  if (OnClick) OnClick();
}

void Button::HandleCommand(int notifyCode) {
  if (notifyCode == BN_CLICKED) Click();
}

HBRUSH Button::HandleCtlColor(HDC dc) { return ButtonFaceColours(dc); }

}  // namespace ui
