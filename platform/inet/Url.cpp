#include "platform/inet/Url.h"

#include "base/RuntimeError.h"
#include "base/TextConv.h"

namespace twi::inet {

Url ParseUrl(const std::string& address) {
  std::wstring text = ToWide(Trim(address));
  if (text.find(L"://") == std::wstring::npos) text = L"http://" + text;
  URL_COMPONENTSW parts{};
  parts.dwStructSize = sizeof(parts);
  parts.dwHostNameLength = 1;  // non-zero lengths ask for pointers into `text`
  parts.dwUrlPathLength = 1;
  parts.dwExtraInfoLength = 1;
  parts.dwUserNameLength = 1;
  parts.dwPasswordLength = 1;
  if (!InternetCrackUrlW(text.c_str(), static_cast<DWORD>(text.size()), 0, &parts))
    throw RuntimeError(err::InvalidProcedureCall, "URL is malformed: " + address);
  Url url;
  url.scheme = parts.nScheme;
  url.port = parts.nPort;
  auto piece = [](const wchar_t* start, DWORD length) {
    return start ? std::wstring(start, length) : std::wstring();
  };
  url.host = piece(parts.lpszHostName, parts.dwHostNameLength);
  url.path = piece(parts.lpszUrlPath, parts.dwUrlPathLength) +
             piece(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (url.path.empty()) url.path = L"/";
  url.userName = piece(parts.lpszUserName, parts.dwUserNameLength);
  url.password = piece(parts.lpszPassword, parts.dwPasswordLength);
  return url;
}

}  // namespace twi::inet
