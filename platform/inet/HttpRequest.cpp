#include "platform/inet/HttpRequest.h"

#include <algorithm>

#include "base/TextConv.h"
#include "platform/inet/InternetError.h"

namespace twi::inet {
namespace {

constexpr std::size_t kBlockSize = 64 * 1024;  // one block of the body queue
constexpr std::size_t kQueuedBlocks = 4;        // body held in memory: 256 KB at most
// WinInet (under Wine) buffers up to 8 KB of a body; a full buffer when asked means
// the body is pouring in.
constexpr DWORD kPouringAvailable = 8 * 1024;
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_UI |
                                INTERNET_FLAG_NO_COOKIES;
// One request per connection. WinInet under Wine looks for a kept-alive connection by
// the origin server even when the request is to go through a proxy, so a proxy set after
// a direct request to the same server would be passed by. A program that fetches a
// handful of files loses nothing by connecting each time.
constexpr wchar_t kRequestHeaders[] = L"Connection: close\r\n";

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
      body_(kQueuedBlocks),
      readBuffer_(kBlockSize) {}

bool HttpRequest::Executing() const { return !cancelled_ && !failed_ && !body_.EndTaken(); }

void HttpRequest::Run() {
  {
    std::lock_guard lock(lifeMutex_);
    keepAlive_ = shared_from_this();
  }
  try {
    OpenHandles();
    SendRequest();
    ReadResponseHead();
    ladder_->Reach(state::ResponseReceived);
    ladder_->Reach(state::ResponseCompleted);
    ReadBody();
  } catch (const Failed& failure) {
    FailBeforeResponse(failure.code);
  } catch (const Cancelled&) {
  }
  if (cancelled_)
    CloseHandlesInBackground();
  else
    CloseHandles();
  FinishRun();
}

void HttpRequest::Cancel() {
  cancelled_ = true;
  ladder_->Close();
  body_.Cancel();
  cancelEvent_.Set();
}

void HttpRequest::OpenHandles() {
  session_.Reset(OpenSession(settings_, INTERNET_FLAG_ASYNC));
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
  ApplyProxyCredentials(request_.Get(), settings_);
}

void HttpRequest::SendRequest() {
  DWORD timeoutMs = settings_.timeoutSeconds > 0
                        ? static_cast<DWORD>(settings_.timeoutSeconds) * 1000
                        : INFINITE;
  completed_.Clear();
  BOOL sent = HttpSendRequestW(request_.Get(), kRequestHeaders, static_cast<DWORD>(-1), nullptr, 0);
  // WinInet's own receive time-out is not applied to asynchronous calls everywhere
  // (not under Wine), so the wait for the response head is limited here.
  if (DWORD error = Await(sent, timeoutMs)) throw Failed{error};
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

// Reads the body into blocks of up to 64 KB. A block is handed on when it is full, or as
// soon as nothing more has arrived, so that a slow or stalled server still gets every
// byte it sent to the consumer at once. While the body trickles in, each read takes only
// what WinInet reports as there (a larger read would wait to fill its buffer); while it
// pours in (WinInet's buffer is full when asked), a read takes the rest of the block in
// one call, since every call costs a trip through WinInet's thread pool.
HttpRequest::BodyEnd HttpRequest::ReadBodyBlocks() {
  std::size_t filled = 0;
  for (;;) {
    completed_.Clear();
    BOOL queried = InternetQueryDataAvailable(request_.Get(), &available_, 0, 0);
    DWORD error = queried ? 0 : GetLastError();
    if (error == ERROR_IO_PENDING) {
      PassOn(filled);  // nothing more right now: hand on what came, then wait
      error = WaitForCompletion(INFINITE);
      if (error == 0) continue;  // something came in: ask again how much
    }
    if (error != 0 || available_ == 0) {
      PassOn(filled);
      return EndBody(error);
    }
    completed_.Clear();
    bytesRead_ = 0;
    const DWORD room = static_cast<DWORD>(kBlockSize - filled);
    const bool pouring = available_ >= kPouringAvailable;
    DWORD wanted = pouring ? room : std::min<DWORD>(available_, room);
    BOOL read = InternetReadFile(request_.Get(), readBuffer_.data() + filled, wanted, &bytesRead_);
    error = read ? 0 : GetLastError();
    if (error == ERROR_IO_PENDING) {
      PassOn(filled);
      error = WaitForCompletion(INFINITE);
    }
    if (error != 0 || bytesRead_ == 0) {
      PassOn(filled);
      return EndBody(error);
    }
    filled += bytesRead_;
    if (filled == kBlockSize) PassOn(filled);
  }
}

void HttpRequest::PassOn(std::size_t& filled) {
  if (filled == 0) return;
  auto begin = readBuffer_.begin();
  if (!body_.Push(std::vector<std::uint8_t>(begin, begin + static_cast<std::ptrdiff_t>(filled))))
    throw Cancelled{};
  filled = 0;
}

HttpRequest::BodyEnd HttpRequest::EndBody(DWORD error) {
  if (error == 0) {
    body_.Finish();
    return BodyEnd::Complete;
  }
  body_.Fail(DescribeInternetError(error));
  return BodyEnd::BrokenOff;
}

DWORD HttpRequest::Await(BOOL callSucceeded, DWORD timeoutMs) {
  if (callSucceeded) return 0;
  DWORD error = GetLastError();
  if (error == ERROR_IO_PENDING) return WaitForCompletion(timeoutMs);
  if (cancelled_) throw Cancelled{};  // the call failed because the request was cancelled
  return error;
}

DWORD HttpRequest::WaitForCompletion(DWORD timeoutMs) {
  HANDLE events[] = {completed_.Get(), cancelEvent_.Get()};
  DWORD wait = WaitForMultipleObjects(2, events, FALSE, timeoutMs);
  if (wait == WAIT_OBJECT_0 + 1 || cancelled_) throw Cancelled{};
  if (wait == WAIT_TIMEOUT) return ERROR_INTERNET_TIMEOUT;
  if (wait != WAIT_OBJECT_0) return GetLastError();
  if (asyncResult_.dwResult) return 0;
  return asyncResult_.dwError ? asyncResult_.dwError : ERROR_INTERNET_INTERNAL_ERROR;
}

void HttpRequest::CloseHandles() {
  request_.Close();
  connection_.Close();
  session_.Close();
}

void HttpRequest::CloseHandlesInBackground() {
  request_.CloseInBackground();
  connection_.CloseInBackground();
  session_.CloseInBackground();
}

void HttpRequest::FailBeforeResponse(DWORD code) {
  if (cancelled_) return;
  response_->SetInfo(DescribeInternetError(code));
  failed_ = true;
  body_.Finish();  // no body: GetChunk returns empty at once
  CloseHandles();
  ladder_->Reach(state::Error);
}

void CALLBACK HttpRequest::OnStatus(HINTERNET, DWORD_PTR context, DWORD status, void* info,
                                    DWORD) {
  if (!context) return;  // the session handle has none
  auto* request = reinterpret_cast<HttpRequest*>(context);
  switch (status) {
    case INTERNET_STATUS_REQUEST_COMPLETE:
      if (info) request->OnRequestComplete(*static_cast<const INTERNET_ASYNC_RESULT*>(info));
      break;
    case INTERNET_STATUS_HANDLE_CREATED:
      request->OnHandleCreated();
      break;
    case INTERNET_STATUS_HANDLE_CLOSING:
      request->OnHandleClosing();  // may end the request object: nothing after this
      break;
    default:
      // "Response received" is reached by the request itself, once the headers are in.
      request->ladder_->ReachFromWinInet(status, state::ReceivingResponse);
      break;
  }
}

void HttpRequest::OnRequestComplete(const INTERNET_ASYNC_RESULT& result) {
  asyncResult_ = result;
  completed_.Set();
}

void HttpRequest::OnHandleCreated() {
  std::lock_guard lock(lifeMutex_);
  ++openHandles_;
}

void HttpRequest::OnHandleClosing() {
  std::shared_ptr<HttpRequest> last;
  {
    std::lock_guard lock(lifeMutex_);
    if (--openHandles_ <= 0 && runFinished_) last = std::move(keepAlive_);
  }
}

void HttpRequest::FinishRun() {
  std::shared_ptr<HttpRequest> last;
  {
    std::lock_guard lock(lifeMutex_);
    runFinished_ = true;
    if (openHandles_ <= 0) last = std::move(keepAlive_);
  }
}

}  // namespace twi::inet
