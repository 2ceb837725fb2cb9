#include "ui/Control.h"

#include <commctrl.h>
#include <windowsx.h>

#include "base/RuntimeError.h"
#include "base/TextConv.h"
#include "base/Unhandled.h"
#include "ui/Form.h"

namespace ui {
namespace {

constexpr wchar_t kControlProp[] = L"TWInstall.Control";
constexpr UINT_PTR kSubclassId = 0x7457;

LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR /*id*/,
                              DWORD_PTR data) {
  auto* control = reinterpret_cast<Control*>(data);
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
    RemovePropW(hwnd, kControlProp);
    control->DetachWindow();
    return DefSubclassProc(hwnd, msg, wp, lp);
  }
  bool handled = false;
  LRESULT result = 0;
  try {
    result = control->HandleSubclassMessage(hwnd, msg, wp, lp, handled);
  } catch (...) {
    twi::ReportUnhandledException();
  }
  return handled ? result : DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

Control* ControlFromHwnd(HWND hwnd) {
  return hwnd ? static_cast<Control*>(GetPropW(hwnd, kControlProp)) : nullptr;
}

Control::~Control() {
  if (hwnd_) {
    HWND hwnd = hwnd_;
    DetachWindow();
    RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
    RemovePropW(hwnd, kControlProp);
    DestroyWindow(hwnd);
  }
}

void Control::DetachWindow() { hwnd_ = nullptr; }

RECT Control::PixelRect() const {
  RECT r;
  r.left = TwipsToPixels(rect_.left);
  r.top = TwipsToPixels(rect_.top);
  r.right = TwipsToPixels(rect_.left + rect_.width);
  r.bottom = TwipsToPixels(rect_.top + rect_.height);
  return r;
}

void Control::CreateWindowIn(Container& container, const CreateParams& params,
                             std::string_view text, const TwipsRect& rect) {
  container_ = &container;
  params_ = params;
  rect_ = rect;
  RECT px = PixelRect();
  HWND hwnd = CreateWindowExW(params.exStyle, params.className, twi::ToWide(text).c_str(),
                              params.style | WS_CHILD | WS_CLIPSIBLINGS, px.left, px.top,
                              px.right - px.left, px.bottom - px.top, container.ContainerHwnd(),
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!hwnd) throw twi::RuntimeError::FromLastError();
  hwnd_ = hwnd;
  SetPropW(hwnd, kControlProp, this);
  SetWindowSubclass(hwnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  ApplyFont();
}

void Control::CreateAsCopyOf(const Control& model) {
  CreateParams params = model.params_;
  params.style &= ~WS_VISIBLE;
  bold_ = model.bold_;
  foreColour_ = model.foreColour_;
  backColour_ = model.backColour_;
  customColours_ = model.customColours_;
  CreateWindowIn(*model.container_, params, model.Caption(), model.rect_);
  CopyLookFrom(model);
  if (!model.toolTip_.empty()) SetToolTipText(model.toolTip_);
}

void Control::ApplyFont() {
  if (!hwnd_) return;
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont(bold_)), TRUE);
  FontApplied();
}

void Control::Move(int left, int top, int width, int height) {
  rect_ = {left, top, width, height};
  if (!hwnd_) return;
  RECT px = PixelRect();
  SetWindowPos(hwnd_, nullptr, px.left, px.top, px.right - px.left, px.bottom - px.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::SetVisible(bool visible) {
  if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

bool Control::Visible() const {
  return hwnd_ && (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Control::SetEnabled(bool enabled) {
  if (hwnd_) EnableWindow(hwnd_, enabled ? TRUE : FALSE);
}

bool Control::Enabled() const { return hwnd_ && IsWindowEnabled(hwnd_); }

void Control::ZOrder(int position) {
  if (hwnd_)
    SetWindowPos(hwnd_, position == 0 ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Control::SetFocus() {
  if (hwnd_) ::SetFocus(hwnd_);
}

void Control::SetCaption(std::string_view text) {
  if (hwnd_) SetWindowTextW(hwnd_, twi::ToWide(text).c_str());
}

std::string Control::Caption() const {
  if (!hwnd_) return {};
  int n = GetWindowTextLengthW(hwnd_);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  n = GetWindowTextW(hwnd_, text.data(), n + 1);
  text.resize(static_cast<size_t>(n));
  return twi::ToUtf8(text);
}

void Control::SetToolTipText(std::string_view text) {
  toolTip_ = std::string(text);
  if (hwnd_ && container_) container_->OwnerForm().SetToolTip(hwnd_, toolTip_);
}

void Control::SetFontBold(bool bold) {
  bold_ = bold;
  ApplyFont();
}

MouseArgs MouseArgsFrom(WPARAM wp, LPARAM lp) {
  MouseArgs args;
  args.button = (wp & MK_LBUTTON ? 1 : 0) | (wp & MK_RBUTTON ? 2 : 0) | (wp & MK_MBUTTON ? 4 : 0);
  args.shift = (wp & MK_SHIFT ? 1 : 0) | (wp & MK_CONTROL ? 2 : 0);
  args.x = PixelsToTwips(GET_X_LPARAM(lp));
  args.y = PixelsToTwips(GET_Y_LPARAM(lp));
  return args;
}

HBRUSH Control::ButtonFaceColours(HDC dc) {
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return GetSysColorBrush(COLOR_BTNFACE);
}

HBRUSH Control::HandleCtlColor(HDC dc) {
  SetTextColor(dc, foreColour_.Resolve());
  SetBkColor(dc, backColour_.Resolve());
  return brush_.Get(backColour_);
}

void Control::HandleMouseMove(const MouseArgs& args) {
  if (OnMouseMove) OnMouseMove(args);
}

LRESULT Control::HandleSubclassMessage(HWND /*hwnd*/, UINT msg, WPARAM wp, LPARAM lp,
                                       bool& handled) {
  if (msg == WM_MOUSEMOVE) HandleMouseMove(MouseArgsFrom(wp, lp));
  handled = false;
  return 0;
}

}  // namespace ui
