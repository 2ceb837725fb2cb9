#include "platform/inet/HttpRequest.h"

#include <algorithm>

#include "base/TextConv.h"
#include "platform/inet/InternetError.h"

namespace twi::inet {
namespace {

constexpr std::size_t kBlockSize = 256 * 1024;  // one read, one block of the body queue
constexpr std::size_t kQueuedBlocks = 8;         // body held in memory: 2 MB at most
// WinInet buffers up to 8 KB of a body; a full buffer when asked means the body is
// pouring in.
constexpr DWORD kPouringAvailable = 8 * 1024;
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_UI |
                                INTERNET_FLAG_NO_COOKIES;
// One request per connection. WinInet under Wine looks for a kept-alive connection by
// the origin server even when the request is to go through a proxy, so a proxy set after
// a direct request to the same server would be passed by. A program that fetches a
// handful of files loses nothing by connecting each time.
constexpr wchar_t kRequestHeaders[] = L"Connection: close\r\n";
// How Wine reports a receive time-out: the socket's own code, or WinInet's.
constexpr DWORD kSocketTimedOut = 10060;  // WSAETIMEDOUT

bool IsTimeOut(DWORD error) { return error == ERROR_INTERNET_TIMEOUT || error == kSocketTimedOut; }

std::wstring QueryRawHeaders(HINTERNET request) {
  DWORD bytes = 0;
  HttpQueryInfoW(request, HTTP_QUERY_RAW_HEADERS_CRLF, nullptr, &bytes, nullptr);
  if (bytes == 0) return L"";
  std::wstring headers(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(headers.size() * sizeof(wchar_t));
  if (!HttpQueryInfoW(request, HTTP_QUERY_RAW_HEADERS_CRLF, headers.data(), &bytes, nullptr))
    return L"";
  headers.resize(bytes / sizeof(wchar_t));
  return headers;
}

std::string FirstLine(const std::string& text) {
  return Trim(text.substr(0, text.find_first_of("\r\n")));
}

}  // namespace

HttpRequest::HttpRequest(Url url, ConnectionSettings settings, std::unique_ptr<StateLadder> ladder)
    : url_(std::move(url)),
      settings_(std::move(settings)),
      ladder_(std::move(ladder)),
      body_(kQueuedBlocks, kBlockSize) {}

bool HttpRequest::Executing() const { return !cancelled_ && !failed_ && !body_.EndTaken(); }

void HttpRequest::Run() {
  try {
    OpenHandles();
    SendRequest();
    if (cancelled_) throw Cancelled{};
    ReadResponseHead();
    ladder_->Reach(state::ResponseReceived);
    ladder_->Reach(state::ResponseCompleted);
    ReadBody();
  } catch (const Failed& failure) {
    FailBeforeResponse(failure.code);
  } catch (const Cancelled&) {
  }
  // For a cancelled request this may take a while: WinInet reads what is left of the
  // body while it comes without waiting, to keep the connection. Nobody waits for it.
  CloseHandles();
}

void HttpRequest::Cancel() {
  cancelled_ = true;
  ladder_->Close();
  body_.Cancel();
}

void HttpRequest::OpenHandles() {
  session_.Reset(OpenSession(settings_, 0));
  if (!session_) throw Failed{GetLastError()};
  if (InternetSetStatusCallbackW(session_.Get(), &HttpRequest::OnStatus) ==
      INTERNET_INVALID_STATUS_CALLBACK)
    throw Failed{GetLastError()};
  auto context = reinterpret_cast<DWORD_PTR>(this);
  auto orNull = [](const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); };
  connection_.Reset(InternetConnectW(session_.Get(), url_.host.c_str(), url_.port,
                                     orNull(url_.userName), orNull(url_.password),
                                     INTERNET_SERVICE_HTTP, 0, context));
  if (!connection_) throw Failed{GetLastError()};
  DWORD flags = kRequestFlags;
  if (url_.scheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
  const wchar_t* acceptTypes[] = {L"*/*", nullptr};
  request_.Reset(HttpOpenRequestW(connection_.Get(), L"GET", url_.path.c_str(), nullptr, nullptr,
                                  acceptTypes, flags, context));
  if (!request_) throw Failed{GetLastError()};
  // Wine applies the time-outs of the request handle (not those the session passed on).
  ApplyTimeouts(request_.Get(), settings_);
  ApplyProxyCredentials(request_.Get(), settings_);
}

void HttpRequest::SendRequest() {
  auto start = std::chrono::steady_clock::now();
  if (HttpSendRequestW(request_.Get(), kRequestHeaders, static_cast<DWORD>(-1), nullptr, 0)) return;
  DWORD error = GetLastError();
  if (cancelled_) throw Cancelled{};
  // A server that never answers: Wine ends the wait for the response head after the
  // receive time-out by dropping the connection ("connection aborted"). Report what it is.
  auto waited = std::chrono::steady_clock::now() - start;
  if (settings_.timeoutSeconds > 0 &&
      waited >= std::chrono::seconds(settings_.timeoutSeconds) - std::chrono::milliseconds(250) &&
      (error == ERROR_INTERNET_CONNECTION_ABORTED || IsTimeOut(error)))
    error = ERROR_INTERNET_TIMEOUT;
  throw Failed{error};
}

void HttpRequest::ReadResponseHead() {
  DWORD code = 0;
  DWORD size = sizeof(code);
  HttpQueryInfoW(request_.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code, &size,
                 nullptr);
  std::string headers = ToUtf8(QueryRawHeaders(request_.Get()));
  response_->SetInfo(FirstLine(headers));
  response_->SetHeaders(static_cast<long>(code), std::move(headers));
}

void HttpRequest::ReadBody() {
  if (ReadBodyBlocks() == BodyEnd::BrokenOff) return;  // GetChunk reports it; no more states
  body_.WaitUntilTakenToEnd();
  if (cancelled_) return;
  CloseHandles();
  ladder_->Reach(state::Disconnecting);
  ladder_->Reach(state::Disconnected);
}

// Reads the body into blocks of 256 KB. A synchronous read under Wine returns only when
// it has filled its buffer (or the body ended, or WinInet's receive time-out passed), so
// each read is preceded by the question how much has come (InternetQueryDataAvailable,
// which waits until anything came, and fills WinInet's 8 KB buffer):
//   - while the body trickles in, a read takes what is there and the block is handed on
//     at once, so that every byte, also those that came before a stall, reaches the
//     consumer as it comes;
//   - while it pours in (WinInet's buffer was full when asked), a read takes the rest of
//     the block in one call. Every call costs a trip through Wine's socket layer, and
//     the question costs as much as a read: large blocks make both rare.
HttpRequest::BodyEnd HttpRequest::ReadBodyBlocks() {
  BodyBlock block = body_.EmptyBlock();
  for (;;) {
    if (cancelled_) throw Cancelled{};
    DWORD available = 0;
    if (!InternetQueryDataAvailable(request_.Get(), &available, 0, 0)) {
      DWORD error = GetLastError();
      PassOn(block, true);
      return EndBody(error);
    }
    if (available == 0) {
      PassOn(block, true);
      return EndBody(0);
    }
    const DWORD room = static_cast<DWORD>(block.capacity - block.size);
    const bool pouring = available >= kPouringAvailable;
    const DWORD wanted = pouring ? room : std::min(available, room);
    DWORD got = 0;
    BOOL read = InternetReadFile(request_.Get(), block.bytes.get() + block.size, wanted, &got);
    DWORD error = read ? 0 : GetLastError();
    block.size += std::min(got, wanted);  // a failed read may still have delivered bytes
    if (error != 0 || got == 0) {
      PassOn(block, true);
      return EndBody(error);
    }
    if (block.size == block.capacity || !pouring) PassOn(block, !pouring);
  }
}

void HttpRequest::PassOn(BodyBlock& block, bool urgent) {
  if (block.size == 0) return;
  if (!body_.Push(std::move(block), urgent)) throw Cancelled{};
  block = body_.EmptyBlock();
}

HttpRequest::BodyEnd HttpRequest::EndBody(DWORD error) {
  if (cancelled_) throw Cancelled{};
  if (error == 0) {
    body_.Finish();
    return BodyEnd::Complete;
  }
  if (IsTimeOut(error))
    body_.TimeOut();
  else
    body_.Fail(DescribeInternetError(error));
  return BodyEnd::BrokenOff;
}

void HttpRequest::CloseHandles() {
  request_.Close();
  connection_.Close();
  session_.Close();
}

void HttpRequest::FailBeforeResponse(DWORD code) {
  if (cancelled_) return;
  response_->SetInfo(DescribeInternetError(code));
  failed_ = true;
  body_.Finish();  // no body: GetChunk returns empty at once
  CloseHandles();
  ladder_->Reach(state::Error);
}

// Called on the transfer thread, during its own WinInet calls.
void CALLBACK HttpRequest::OnStatus(HINTERNET, DWORD_PTR context, DWORD status, void*, DWORD) {
  if (!context) return;  // the session handle has none
  auto* request = reinterpret_cast<HttpRequest*>(context);
  // "Response received" is reached by the request itself, once the headers are in.
  request->ladder_->ReachFromWinInet(status, state::ReceivingResponse);
}

}  // namespace twi::inet
