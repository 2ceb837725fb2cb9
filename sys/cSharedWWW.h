#pragma once
#include <windows.h>

#include <string>

namespace twi {

// Hands a URL or a document path to the Windows shell to open with the user's
// program for it (browser, mail program). The window handle is not used.
void WebSiteVisit(HWND hwnd, const std::string& url);

}  // namespace twi
