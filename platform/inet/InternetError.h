#pragma once
// Texts for WinInet failures, as the control reports them in ResponseInfo.
#include <windows.h>

#include <string>

namespace twi::inet {

// "<WinInet's text> (<code>)", followed by ": <server reply>" for
// ERROR_INTERNET_EXTENDED_ERROR. Call on the thread that made the failing call: the
// server's last reply (InternetGetLastResponseInfo) is kept per thread.
std::string DescribeInternetError(DWORD code);
// The server's last reply on this thread, trimmed ("" when none).
std::string LastServerReply();

}  // namespace twi::inet
