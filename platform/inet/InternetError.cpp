#include "platform/inet/InternetError.h"

#include <wininet.h>

#include "base/TextConv.h"

namespace twi::inet {
namespace {

std::string TrimLineEnds(std::string text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' ||
                           text.back() == '.'))
    text.pop_back();
  return Trim(text);
}

std::string SystemText(DWORD code) {
  wchar_t buffer[512] = {};
  DWORD flags = FORMAT_MESSAGE_IGNORE_INSERTS |
                (code >= INTERNET_ERROR_BASE && code <= INTERNET_ERROR_LAST
                     ? FORMAT_MESSAGE_FROM_HMODULE
                     : FORMAT_MESSAGE_FROM_SYSTEM);
  DWORD n = FormatMessageW(flags, GetModuleHandleW(L"wininet.dll"), code, 0, buffer, 512, nullptr);
  return TrimLineEnds(ToUtf8(std::wstring_view(buffer, n)));
}

// Texts for the codes WinInet may leave without a message of its own.
std::string FallbackText(DWORD code) {
  switch (code) {
    case ERROR_INTERNET_EXTENDED_ERROR: return "The server returned extended information";
    case ERROR_INTERNET_TIMEOUT: return "The operation timed out";
    case ERROR_INTERNET_OPERATION_CANCELLED: return "The operation was cancelled";
    case ERROR_INTERNET_INVALID_CA: return "The server's certificate is not trusted";
    case ERROR_INTERNET_SEC_CERT_ERRORS: return "The server's certificate has errors";
    default: return "Internet error";
  }
}

}  // namespace

std::string LastServerReply() {
  // One call with room to spare: WinInet implementations differ in whether they report
  // the length needed, and the replies kept are single lines.
  std::wstring reply(4096, L'\0');
  DWORD error = 0;
  DWORD length = static_cast<DWORD>(reply.size() - 1);
  if (!InternetGetLastResponseInfoW(&error, reply.data(), &length)) return "";
  reply.resize(wcsnlen(reply.c_str(), reply.size()));
  return TrimLineEnds(ToUtf8(reply));
}

std::string DescribeInternetError(DWORD code) {
  std::string text = SystemText(code);
  if (text.empty()) text = FallbackText(code);
  text += " (" + std::to_string(code) + ")";
  // Only an extended error carries the reply: after other errors it is a stale one.
  if (code == ERROR_INTERNET_EXTENDED_ERROR) {
    std::string reply = LastServerReply();
    if (!reply.empty()) text += ": " + reply;
  }
  return text;
}

}  // namespace twi::inet
