#include "platform/inet/StateWindow.h"

#include "base/RuntimeError.h"
#include "base/Unhandled.h"

namespace twi::inet {
namespace {

constexpr wchar_t kClassName[] = L"TWInstallInetStates";
constexpr UINT kStateMessage = WM_APP + 0x1E7;

void RegisterWindowClass(WNDPROC procedure) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);  // fails harmlessly when the class exists already
}

}  // namespace

StateWindow::StateWindow(Receiver receiver) : receiver_(std::move(receiver)) {
  RegisterWindowClass(&StateWindow::Procedure);
  hwnd_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                          GetModuleHandleW(nullptr), nullptr);
  if (!hwnd_) throw RuntimeError::FromLastError();
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

StateWindow::~StateWindow() { DestroyWindow(hwnd_); }

bool StateWindow::Post(std::uint32_t requestId, int state) const {
  return PostMessageW(hwnd_, kStateMessage, requestId, state) != FALSE;
}

LRESULT CALLBACK StateWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kStateMessage) return DefWindowProcW(hwnd, message, wParam, lParam);
  auto* window = reinterpret_cast<StateWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  try {
    if (window && window->receiver_)
      window->receiver_(static_cast<std::uint32_t>(wParam), static_cast<int>(lParam));
  } catch (...) {
    ReportUnhandledException();
  }
  return 0;
}

}  // namespace twi::inet
