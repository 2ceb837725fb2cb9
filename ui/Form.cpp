#include "ui/Form.h"

#include <commctrl.h>

#include <vector>

#include "base/DoEvents.h"
#include "base/RuntimeError.h"
#include "base/TextConv.h"
#include "base/Unhandled.h"
#include "ui/Forms.h"
#include "ui/MousePointer.h"

namespace ui {
namespace {

constexpr wchar_t kFormClass[] = L"TWInstallForm";

void RegisterFormClass(WNDPROC proc) {
  static bool registered = false;
  if (registered) return;
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
  if (!wc.hIcon) wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  wc.lpszClassName = kFormClass;
  RegisterClassExW(&wc);
  registered = true;
}

}  // namespace

Form::Form(std::string caption, int clientWidthTwips, int clientHeightTwips, BorderStyle border)
    : caption_(std::move(caption)),
      clientWidth_(clientWidthTwips),
      clientHeight_(clientHeightTwips),
      border_(border) {}

Form::~Form() {
  if (hwnd_) DestroyWindowNow();
}

DWORD Form::Style() const {
  switch (border_) {
    case BorderStyle::None: return WS_POPUP | WS_CLIPCHILDREN;
    case BorderStyle::FixedDialog:
      return WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | DS_MODALFRAME;
    case BorderStyle::ToolWindow: return WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    case BorderStyle::FixedSingle:
    default: return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  }
}

DWORD Form::ExStyle() const {
  DWORD ex = WS_EX_CONTROLPARENT;
  if (border_ == BorderStyle::FixedDialog) ex |= WS_EX_DLGMODALFRAME;
  if (border_ == BorderStyle::ToolWindow) ex |= WS_EX_TOOLWINDOW;
  if (border_ == BorderStyle::None) ex |= WS_EX_TOOLWINDOW;
  return ex;
}

void Form::Load() {
  if (hwnd_) return;
  RegisterFormClass(&Form::WndProc);
  RECT r{0, 0, TwipsToPixels(clientWidth_), TwipsToPixels(clientHeight_)};
  AdjustWindowRectEx(&r, Style(), FALSE, ExStyle());
  HWND hwnd = CreateWindowExW(ExStyle(), kFormClass, twi::ToWide(caption_).c_str(), Style(),
                              CW_USEDEFAULT, CW_USEDEFAULT, r.right - r.left, r.bottom - r.top,
                              nullptr, nullptr, GetModuleHandleW(nullptr), this);
  if (!hwnd) throw twi::RuntimeError::FromLastError();
  Forms().Add(this);
  CenterOnScreen();
  try {
    CreateControls();
    Form_Load();
  } catch (...) {
    // A form whose load failed (a control that cannot be created, an error in
    // Form_Load) is not loaded: the next Load starts again from scratch.
    DestroyWindowNow();
    throw;
  }
}

void Form::CenterOnScreen() {
  if (!hwnd_) return;
  RECT r;
  GetWindowRect(hwnd_, &r);
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  int w = r.right - r.left, h = r.bottom - r.top;
  int x = work.left + ((work.right - work.left) - w) / 2;
  int y = work.top + ((work.bottom - work.top) - h) / 2;
  SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::SetClientSize(int widthTwips, int heightTwips) {
  clientWidth_ = widthTwips;
  clientHeight_ = heightTwips;
  if (!hwnd_) return;
  RECT r{0, 0, TwipsToPixels(widthTwips), TwipsToPixels(heightTwips)};
  AdjustWindowRectEx(&r, Style(), FALSE, ExStyle());
  SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Form::Width() const {
  RECT r{0, 0, TwipsToPixels(clientWidth_), TwipsToPixels(clientHeight_)};
  AdjustWindowRectEx(&r, Style(), FALSE, ExStyle());
  return PixelsToTwips(r.right - r.left);
}

int Form::Height() const {
  RECT r{0, 0, TwipsToPixels(clientWidth_), TwipsToPixels(clientHeight_)};
  AdjustWindowRectEx(&r, Style(), FALSE, ExStyle());
  return PixelsToTwips(r.bottom - r.top);
}

void Form::SetWindowState(int state) {
  windowState_ = state;
  if (hwnd_ && IsWindowVisible(hwnd_)) ShowWindow(hwnd_, state == 1 ? SW_MINIMIZE : SW_RESTORE);
}

void Form::Show(bool modal) {
  if (!modal && Forms().ModalDepth() > 0 && !Visible())
    throw twi::RuntimeError::Numbered(twi::err::CannotShowNonModal);
  Load();
  if (!modal) {
    ShowWindow(hwnd_, windowState_ == 1 ? SW_SHOWMINNOACTIVE : SW_SHOW);
    return;
  }
  // A modal showing disables every other form until this one is hidden.
  std::vector<HWND> disabled;
  for (Form* other : Forms().All()) {
    if (other != this && other->hwnd_ && IsWindowEnabled(other->hwnd_)) {
      EnableWindow(other->hwnd_, FALSE);
      disabled.push_back(other->hwnd_);
    }
  }
  Forms().EnterModal();
  ShowWindow(hwnd_, windowState_ == 1 ? SW_SHOWMINIMIZED : SW_SHOW);
  SetForegroundWindow(hwnd_);
  MSG msg;
  while (hwnd_ && IsWindowVisible(hwnd_)) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got == -1) break;
    twi::DispatchOne(msg);
  }
  Forms().LeaveModal();
  for (HWND h : disabled)
    if (IsWindow(h)) EnableWindow(h, TRUE);
}

void Form::Hide() {
  if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

bool Form::Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }

bool Form::Unload() {
  if (!hwnd_) return true;
  return CloseFor(CloseReason::Code);
}

bool Form::CloseFor(CloseReason reason) {
  if (!hwnd_ || unloading_) return true;
  bool cancel = false;
  Form_QueryUnload(cancel, reason);
  if (cancel || !hwnd_) return !hwnd_;
  unloading_ = true;
  try {
    Form_Unload();
  } catch (...) {
    unloading_ = false;
    throw;
  }
  DestroyWindowNow();
  unloading_ = false;
  return true;
}

void Form::DestroyWindowNow() {
  HWND hwnd = hwnd_;
  if (!hwnd) return;
  if (toolTip_) {
    DestroyWindow(toolTip_);
    toolTip_ = nullptr;
  }
  DestroyWindow(hwnd);  // WM_NCDESTROY clears hwnd_ and leaves the form list
  hwnd_ = nullptr;
  Forms().Remove(this);
}

void Form::SetCaption(std::string_view caption) {
  caption_ = std::string(caption);
  if (hwnd_) SetWindowTextW(hwnd_, twi::ToWide(caption_).c_str());
}

std::string Form::Caption() const { return caption_; }

void Form::SetToolTip(HWND control, const std::string& text) {
  if (!hwnd_) return;
  if (!toolTip_) {
    toolTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (!toolTip_) return;
    SendMessageW(toolTip_, TTM_SETMAXTIPWIDTH, 0, 400);
  }
  std::wstring wide = twi::ToWide(text);
  TTTOOLINFOW info{};
  info.cbSize = sizeof(info);
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = hwnd_;
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = wide.data();
  SendMessageW(toolTip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  if (!text.empty()) SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void Form::SimulateClose(CloseReason reason) {
  if (!hwnd_) return;
  switch (reason) {
    case CloseReason::ControlMenu: SendMessageW(hwnd_, WM_SYSCOMMAND, SC_CLOSE, 0); break;
    case CloseReason::AppWindows:
      if (SendMessageW(hwnd_, WM_QUERYENDSESSION, 0, 0)) SendMessageW(hwnd_, WM_ENDSESSION, TRUE, 0);
      break;
    case CloseReason::TaskManager: SendMessageW(hwnd_, WM_CLOSE, 0, 0); break;
    default: CloseFor(reason); break;
  }
}

namespace {
// The message that tells a form to run the next of its posted actions.
constexpr UINT kRunPostedAction = WM_APP + 0x2A0;
}  // namespace

void Form::PostAction(std::function<void()> action) {
  if (!hwnd_) return;
  posted_.push_back(std::move(action));
  if (!PostMessageW(hwnd_, kRunPostedAction, 0, 0)) {
    posted_.pop_back();
    throw twi::RuntimeError::FromLastError();
  }
}

void Form::RunPostedAction() {
  if (posted_.empty()) return;
  // Taken off the queue first: the action may unload the form.
  std::function<void()> action = std::move(posted_.front());
  posted_.pop_front();
  action();
}

LRESULT CALLBACK Form::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Form* form = nullptr;
  if (msg == WM_NCCREATE) {
    form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    form->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  } else {
    form = reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!form) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    form->hwnd_ = nullptr;
    form->posted_.clear();  // their messages died with the window
    Forms().Remove(form);
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  try {
    return form->HandleMessage(msg, wp, lp);
  } catch (...) {
    twi::ReportUnhandledException();
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

LRESULT Form::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  if (FormMessage(msg, wp, lp, result)) return result;
  switch (msg) {
    case WM_COMMAND:
      if (Control* control = ControlFromHwnd(reinterpret_cast<HWND>(lp))) {
        control->HandleCommand(HIWORD(wp));
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      if (Control* control = ControlFromHwnd(reinterpret_cast<HWND>(lp))) {
        if (HBRUSH brush = control->HandleCtlColor(reinterpret_cast<HDC>(wp)))
          return reinterpret_cast<LRESULT>(brush);
      }
      break;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (Control* control = ControlFromHwnd(item->hwndItem)) {
        if (control->HandleDrawItem(*item)) return TRUE;
      }
      break;
    }
    case WM_MOUSEMOVE: Form_MouseMove(MouseArgsFrom(wp, lp)); return 0;
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT && ApplyScreenMousePointer()) return TRUE;
      break;
    case WM_SYSCOMMAND:
      if ((wp & 0xFFF0) == SC_CLOSE) {
        closingFromMenu_ = true;
        LRESULT r = DefWindowProcW(hwnd_, msg, wp, lp);
        closingFromMenu_ = false;
        return r;
      }
      break;
    case WM_CLOSE:
      CloseFor(closingFromMenu_ ? CloseReason::ControlMenu : CloseReason::TaskManager);
      return 0;
    case kRunPostedAction: RunPostedAction(); return 0;
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION:
      if (wp) CloseFor(CloseReason::AppWindows);
      return 0;
    default: break;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace ui
