#include "support/UserActions.h"

#include <cstdlib>

#include "base/TextConv.h"
#include "support/OtherPrograms.h"
#include "support/TestSupport.h"

namespace twitest {

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  auto end = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    Sleep(100);
  }
  return true;
}

bool ShowsText(HWND window, const std::string& text) {
  for (HWND child : Descendants(window))
    if (CaptionOf(child) == text) return true;
  return false;
}

std::string TextContaining(HWND window, const std::string& part) {
  for (HWND child : Descendants(window)) {
    std::string text = CaptionOf(child);
    if (text.find(part) != std::string::npos) return text;
  }
  return "";
}

bool PressButton(HWND window, const std::string& caption) {
  for (HWND child : Descendants(window)) {
    if (ClassOf(child) == "Button" && CaptionOf(child) == caption && IsWindowVisible(child)) {
      PostMessageW(child, BM_CLICK, 0, 0);
      return true;
    }
  }
  return false;
}

bool ChooseListItem(HWND window, const std::string& item) {
  for (HWND child : Descendants(window)) {
    if (ClassOf(child) != "ComboBox") continue;
    std::wstring wide = twi::ToWide(item);
    LRESULT index = SendMessageW(child, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(wide.c_str()));
    if (index == CB_ERR) return false;
    SendMessageW(child, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    PostMessageW(GetParent(child), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(child), CBN_SELCHANGE), reinterpret_cast<LPARAM>(child));
    return true;
  }
  return false;
}

bool TypeInto(HWND window, int index, const std::string& text) {
  int seen = 0;
  for (HWND child : Descendants(window)) {
    if (ClassOf(child) != "Edit" || seen++ != index) continue;
    std::wstring wide = twi::ToWide(text);
    SendMessageW(child, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    return true;
  }
  return false;
}

HWND WaitForMessageBox(const std::string& exePath, const std::string& part,
                       std::chrono::milliseconds timeout) {
  HWND found = nullptr;
  WaitFor(
      [&] {
        HWND box = WaitForWindowOf(exePath, "", std::chrono::milliseconds(0), "#32770");
        if (box && !TextContaining(box, part).empty()) found = box;
        return found != nullptr;
      },
      timeout);
  return found;
}

void Screenshot(const std::string& name) {
  const char* folder = std::getenv("TWI_JOURNEY_SHOTS");
  if (!folder || !*folder) return;
  Sleep(300);  // let the windows finish painting
  std::string output;
  // The screen cut down to its windows (the desktop around them is black).
  RunAndCapture("start.exe /wait /unix /usr/bin/import -window root -trim +repage \"" +
                    std::string(folder) + "/" + name + ".png\"",
                output);
}

}  // namespace twitest
