#include "ui/PictureBox.h"

#include <algorithm>

#include "base/TextConv.h"
#include "ui/Gdi.h"

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

struct PictureBox::Canvas {
  Canvas(HDC screen, int width, int height)
      : dc(screen), bitmap(CreateCompatibleBitmap(screen, width, height)),
        bitmapSelection(dc.Get(), bitmap.Get()), fontSelection(dc.Get(), DialogFont()),
        width(width), height(height) {
    SetBkMode(dc.Get(), TRANSPARENT);
  }
  MemoryDC dc;
  GdiObject<HBITMAP> bitmap;
  Selection bitmapSelection;
  Selection fontSelection;
  int width, height;
};

PictureBox::PictureBox() = default;
PictureBox::~PictureBox() { ReleaseBitmap(); }

HDC PictureBox::Dc() const { return canvas_ ? canvas_->dc.Get() : nullptr; }

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

int PictureBox::OuterWidth() const {
  RECT r{};
  if (hwnd()) GetWindowRect(hwnd(), &r);
  return r.right - r.left;
}

int PictureBox::ScaleHeight() const {
  RECT r{};
  if (hwnd()) GetClientRect(hwnd(), &r);
  return r.bottom;
}

void PictureBox::EnsureBitmap() {
  if (!hwnd()) return;
  int w = std::max(ScaleWidth(), 1), h = std::max(ScaleHeight(), 1);
  if (canvas_ && canvas_->width == w && canvas_->height == h) return;
  WindowDC screen(hwnd());
  canvas_ = std::make_unique<Canvas>(screen.Get(), w, h);
}

void PictureBox::ReleaseBitmap() { canvas_.reset(); }

void PictureBox::SetBackColor(COLORREF colour) {
  back_ = colour;
  Cls();
}

void PictureBox::SetForeColor(COLORREF colour) { fore_ = colour; }

void PictureBox::Cls() {
  EnsureBitmap();
  if (!Dc()) return;
  FillBox(0, 0, ScaleWidth(), ScaleHeight(), back_);
  currentX_ = currentY_ = 0;
}

void PictureBox::FillBox(int left, int top, int right, int bottom, COLORREF colour) {
  EnsureBitmap();
  if (!Dc()) return;
  RECT r{left, top, right, bottom};
  GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
  FillRect(Dc(), &r, brush.Get());
  Refresh();
}

int PictureBox::TextWidth(std::string_view text) {
  EnsureBitmap();
  std::wstring wide = twi::ToWide(text);
  SIZE size{};
  if (Dc()) GetTextExtentPoint32W(Dc(), wide.c_str(), static_cast<int>(wide.size()), &size);
  return size.cx;
}

int PictureBox::TextHeight(std::string_view text) {
  EnsureBitmap();
  std::wstring wide = twi::ToWide(text.empty() ? std::string_view("X") : text);
  SIZE size{};
  if (Dc()) GetTextExtentPoint32W(Dc(), wide.c_str(), static_cast<int>(wide.size()), &size);
  return size.cy;
}

void PictureBox::Print(std::string_view text) {
  EnsureBitmap();
  if (!Dc()) return;
  std::wstring wide = twi::ToWide(text);
  SetTextColor(Dc(), fore_);
  TextOutW(Dc(), currentX_, currentY_, wide.c_str(), static_cast<int>(wide.size()));
  currentY_ += TextHeight(text);
  currentX_ = 0;
  Refresh();
}

COLORREF PictureBox::Point(int x, int y) {
  EnsureBitmap();
  return Dc() ? GetPixel(Dc(), x, y) : CLR_INVALID;
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
      if (Dc())
        BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
               ps.rcPaint.bottom - ps.rcPaint.top, Dc(), ps.rcPaint.left, ps.rcPaint.top,
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
