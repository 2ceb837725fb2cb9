#include "ui/PictureBox.h"

#include <algorithm>

#include "base/TextConv.h"

namespace ui {
namespace {

constexpr wchar_t kPictureClass[] = L"TWInstallPicture";

void RegisterPictureClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kPictureClass;
  RegisterClassExW(&wc);
  registered = true;
}

}  // namespace

PictureBox::~PictureBox() { ReleaseBitmap(); }

void PictureBox::Create(Container& parent, const TwipsRect& rect, const CreateArgs& args) {
  RegisterPictureClass();
  CreateParams params;
  params.className = kPictureClass;
  params.style = VisibleStyle(args);
  params.exStyle = args.border ? WS_EX_CLIENTEDGE : 0;
  CreateWindowIn(parent, params, "", rect);
  EnsureBitmap();
  Cls();
}

int PictureBox::ScaleWidth() const {
  RECT r{};
  if (hwnd()) GetClientRect(hwnd(), &r);
  return r.right;
}

int PictureBox::ScaleHeight() const {
  RECT r{};
  if (hwnd()) GetClientRect(hwnd(), &r);
  return r.bottom;
}

void PictureBox::EnsureBitmap() {
  if (!hwnd()) return;
  int w = ScaleWidth(), h = ScaleHeight();
  if (memDc_) {
    BITMAP info{};
    GetObjectW(bitmap_, sizeof(info), &info);
    if (info.bmWidth == std::max(w, 1) && info.bmHeight == std::max(h, 1)) return;
    ReleaseBitmap();
  }
  HDC screen = GetDC(hwnd());
  memDc_ = CreateCompatibleDC(screen);
  bitmap_ = CreateCompatibleBitmap(screen, std::max(w, 1), std::max(h, 1));
  ReleaseDC(hwnd(), screen);
  oldBitmap_ = SelectObject(memDc_, bitmap_);
  oldFont_ = SelectObject(memDc_, DialogFont());
  SetBkMode(memDc_, TRANSPARENT);
}

void PictureBox::ReleaseBitmap() {
  if (!memDc_) return;
  SelectObject(memDc_, oldFont_);
  SelectObject(memDc_, oldBitmap_);
  DeleteObject(bitmap_);
  DeleteDC(memDc_);
  memDc_ = nullptr;
  bitmap_ = nullptr;
}

void PictureBox::SetBackColor(COLORREF colour) {
  back_ = colour;
  Cls();
}

void PictureBox::SetForeColor(COLORREF colour) { fore_ = colour; }

void PictureBox::Cls() {
  EnsureBitmap();
  if (!memDc_) return;
  FillBox(0, 0, ScaleWidth(), ScaleHeight(), back_);
  currentX_ = currentY_ = 0;
}

void PictureBox::FillBox(int left, int top, int right, int bottom, COLORREF colour) {
  EnsureBitmap();
  if (!memDc_) return;
  RECT r{left, top, right, bottom};
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(memDc_, &r, brush);
  DeleteObject(brush);
  Refresh();
}

int PictureBox::TextWidth(std::string_view text) {
  EnsureBitmap();
  std::wstring wide = twi::ToWide(text);
  SIZE size{};
  if (memDc_) GetTextExtentPoint32W(memDc_, wide.c_str(), static_cast<int>(wide.size()), &size);
  return size.cx;
}

int PictureBox::TextHeight(std::string_view text) {
  EnsureBitmap();
  std::wstring wide = twi::ToWide(text.empty() ? std::string_view("X") : text);
  SIZE size{};
  if (memDc_) GetTextExtentPoint32W(memDc_, wide.c_str(), static_cast<int>(wide.size()), &size);
  return size.cy;
}

void PictureBox::Print(std::string_view text) {
  EnsureBitmap();
  if (!memDc_) return;
  std::wstring wide = twi::ToWide(text);
  SetTextColor(memDc_, fore_);
  TextOutW(memDc_, currentX_, currentY_, wide.c_str(), static_cast<int>(wide.size()));
  currentY_ += TextHeight(text);
  currentX_ = 0;
  Refresh();
}

COLORREF PictureBox::Point(int x, int y) {
  EnsureBitmap();
  return memDc_ ? GetPixel(memDc_, x, y) : CLR_INVALID;
}

void PictureBox::Refresh() {
  if (hwnd()) InvalidateRect(hwnd(), nullptr, FALSE);
}

LRESULT PictureBox::HandleSubclassMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp,
                                          bool& handled) {
  switch (msg) {
    case WM_ERASEBKGND: handled = true; return TRUE;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (memDc_)
        BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
               ps.rcPaint.bottom - ps.rcPaint.top, memDc_, ps.rcPaint.left, ps.rcPaint.top,
               SRCCOPY);
      EndPaint(hwnd, &ps);
      handled = true;
      return 0;
    }
    case WM_NCDESTROY: ReleaseBitmap(); break;
    default: break;
  }
  return Control::HandleSubclassMessage(hwnd, msg, wp, lp, handled);
}

}  // namespace ui
