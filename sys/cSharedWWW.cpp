#include "sys/cSharedWWW.h"

#include <shellapi.h>

#include "base/TextConv.h"
#include "sys/cSHAREDSubs.h"

namespace twi {

void WebSiteVisit(HWND /*hwnd*/, const std::string& url) {
  TheSubs().BusyBGmouse();
  // The shell's result is not examined: a missing browser gives no message.
  ShellExecuteW(nullptr, L"open", ToWide(url).c_str(), nullptr, L"c:\\", SW_SHOWNORMAL);
  TheSubs().NormalMouse();
}

}  // namespace twi
