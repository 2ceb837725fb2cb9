#include "platform/inet/ConnectionSettings.h"

#include "base/TextConv.h"

namespace twi::inet {
namespace {

constexpr wchar_t kUserAgent[] = L"TWInstall";

void SetTimeout(HINTERNET handle, DWORD option, DWORD milliseconds) {
  InternetSetOptionW(handle, option, &milliseconds, sizeof(milliseconds));
}

void SetText(HINTERNET handle, DWORD option, const std::string& text) {
  std::wstring wide = ToWide(text);
  InternetSetOptionW(handle, option, wide.data(), static_cast<DWORD>(wide.size()));
}

}  // namespace

HINTERNET OpenSession(const ConnectionSettings& settings, DWORD flags) {
  HINTERNET session = nullptr;
  if (settings.accessType == kAccessNamedProxy) {
    std::wstring proxy = ToWide(settings.proxy);
    session = InternetOpenW(kUserAgent, INTERNET_OPEN_TYPE_PROXY, proxy.c_str(), nullptr, flags);
  } else {
    DWORD type = settings.accessType == kAccessDirect ? INTERNET_OPEN_TYPE_DIRECT
                                                      : INTERNET_OPEN_TYPE_PRECONFIG;
    session = InternetOpenW(kUserAgent, type, nullptr, nullptr, flags);
  }
  if (session) ApplyTimeouts(session, settings);
  return session;
}

void ApplyTimeouts(HINTERNET handle, const ConnectionSettings& settings) {
  if (settings.timeoutSeconds <= 0) return;
  DWORD ms = static_cast<DWORD>(settings.timeoutSeconds) * 1000;
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                       INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT,
                       INTERNET_OPTION_DATA_RECEIVE_TIMEOUT})
    SetTimeout(handle, option, ms);
}

void ApplyProxyCredentials(HINTERNET handle, const ConnectionSettings& settings) {
  if (!settings.userName.empty())
    SetText(handle, INTERNET_OPTION_PROXY_USERNAME, settings.userName);
  if (!settings.password.empty())
    SetText(handle, INTERNET_OPTION_PROXY_PASSWORD, settings.password);
}

}  // namespace twi::inet
