#include "platform/inet/InetControl.h"

#include <algorithm>

#include <chrono>
#include <utility>

#include "base/DoEvents.h"
#include "base/RuntimeError.h"
#include "base/TextConv.h"
#include "base/UniqueHandle.h"
#include "platform/inet/BodyQueue.h"
#include "platform/inet/FtpOperation.h"
#include "platform/inet/FtpSession.h"
#include "platform/inet/HttpRequest.h"
#include "platform/inet/InternetHandle.h"
#include "platform/inet/PumpingWait.h"
#include "platform/inet/Response.h"
#include "platform/inet/StateLadder.h"
#include "platform/inet/StateWindow.h"
#include "platform/inet/Url.h"

namespace twi::inet {
namespace {

constexpr long kErrInvalidPropertyValue = 380;

RuntimeError CannotCreate(const std::string& reason) {
  return RuntimeError(kErrCannotCreate, "The Internet control cannot be created: " + reason);
}

// How long to wait before `deadline` (INFINITE without a time-out). Throws kErrTimedOut
// when it has passed.
DWORD WaitMilliseconds(std::chrono::steady_clock::time_point deadline, bool limited) {
  if (!limited) return INFINITE;
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  if (left.count() <= 0) throw RuntimeError(kErrTimedOut, "Request timed out");
  return static_cast<DWORD>(left.count());
}

// How long a partly filled chunk waits for the rest before it is handed out as it is.
constexpr std::chrono::milliseconds kPartialChunkDelay{500};

void CheckWinInet() {
  InternetHandle probe(InternetOpenW(L"TWInstall", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
  if (!probe) throw CannotCreate(RuntimeError::FromLastError().Description());
}

}  // namespace

InetControl::InetControl() : alive_(std::make_shared<bool>(true)) {
  CheckWinInet();
  try {
    window_ = std::make_unique<StateWindow>(
        [this](std::uint32_t requestId, int state) { OnState(requestId, state); });
  } catch (const RuntimeError& error) {
    throw CannotCreate(error.Description());
  }
}

InetControl::~InetControl() {
  *alive_ = false;
  Cancel();
  LetGoOfLastRequest();
  // No wait for a transfer thread: each owns what it uses and ends on its own. A session
  // left open says goodbye to its server in the background.
  if (ftpSession_) ftpSession_->Abort();
}

void InetControl::Execute(const std::string& url, const std::string& operation) {
  if (StillExecuting()) throw RuntimeError(kErrStillExecuting, "Still executing last request");
  if (ParseUrl(url).scheme == INTERNET_SCHEME_FTP)
    ExecuteFtp(url, operation);
  else
    ExecuteHttp(url, operation);
}

void InetControl::ExecuteHttp(const std::string& url, const std::string& operation) {
  std::string verb = UpperAscii(Trim(operation));
  if (!verb.empty() && verb != "GET")
    throw RuntimeError(err::InvalidProcedureCall, "Unsupported operation: " + operation);
  Url parsed = ParseUrl(url);
  if (parsed.scheme != INTERNET_SCHEME_HTTP && parsed.scheme != INTERNET_SCHEME_HTTPS)
    throw RuntimeError(err::InvalidProcedureCall, "Unsupported protocol: " + url);
  LetGoOfLastRequest();
  auto request = std::make_shared<HttpRequest>(std::move(parsed), settings_, NewRequest());
  StartThread([request] { request->Run(); });
  http_ = request;
  response_ = request->Result();
}

void InetControl::ExecuteFtp(const std::string& url, const std::string& operation) {
  FtpOperation::Command command = FtpOperation::Parse(operation);
  Url parsed = ParseUrl(url);
  if (parsed.host.empty()) throw RuntimeError(err::InvalidProcedureCall, "No host in " + url);
  if (ftpSession_ && !ftpSession_->Serves(parsed.host, parsed.port)) {
    ftpSession_->Abort();
    ftpSession_.reset();
  }
  LetGoOfLastRequest();
  if (!ftpSession_) ftpSession_ = std::make_shared<FtpSession>(parsed.host, parsed.port, settings_);
  auto ftp = std::make_shared<FtpOperation>(ftpSession_, std::move(command), NewRequest());
  StartThread([ftp] { ftp->Run(); });
  ftpOperation_ = ftp;
  response_ = ftp->Result();
  WaitForFtp(ftp);
}

// The GUI thread waits for the operation as GetChunk waits for a body: running window
// messages, so that the window stays alive and a Stop button can cancel; a GET's data
// are written to the local file here as they come.
void InetControl::WaitForFtp(const std::shared_ptr<FtpOperation>& operation) {
  std::shared_ptr<bool> alive = alive_;
  for (;;) {
    operation->TakeData();
    if (!operation->Executing()) break;
    operation->PrepareToWait();
    operation->TakeData();  // what came in between
    if (!operation->Executing()) break;
    PumpThenWait({operation->DoneSignal(), operation->DataSignal()}, BodyQueue::kLongestWaitMs);
    // A handler run meanwhile may have destroyed the control or started the next request.
    if (!*alive) return;
  }
  operation->TakeData();
  if (!*alive || ftpOperation_ != operation) return;
  if (operation->WasCancelled() || operation->GetKind() == FtpOperation::Kind::Close)
    ftpSession_.reset();
  DoEvents();  // the operation's states arrive before Execute returns
}

namespace {

// Whether GetChunk has its answer with this take. A body that the transfer thread gave
// up on (WinInet's receive time-out, RequestTimeout after the server's last byte) is not
// one: GetChunk itself waits RequestTimeout for a byte, from its own start, and then
// reports the time-out.
bool Answered(BodyQueue::Take take) {
  return take != BodyQueue::Take::NothingYet && take != BodyQueue::Take::TimedOut;
}

// What GetChunk gives for an answered take: the chunk, or nothing at the end.
void Conclude(BodyQueue::Take take, const BodyQueue& body, std::vector<std::uint8_t>& chunk) {
  switch (take) {
    case BodyQueue::Take::Data: return;
    case BodyQueue::Take::Failed:
      chunk.clear();
      throw RuntimeError(kErrTransferFailed, "Download failed: " + body.FailureReason());
    default: chunk.clear(); return;  // the end, or cancelled
  }
}

}  // namespace

std::vector<std::uint8_t> InetControl::GetChunk(std::size_t size) {
  std::vector<std::uint8_t> chunk;
  GetChunk(size, chunk);
  return chunk;
}

void InetControl::GetChunk(std::size_t size, std::vector<std::uint8_t>& chunk) {
  chunk.clear();
  // Only locals after pumping: a handler run meanwhile may cancel, start the next
  // request or destroy the control; the request stays alive through `request`.
  std::shared_ptr<HttpRequest> request = http_;
  if (!request || size == 0) return;
  BodyQueue& body = request->Body();
  chunk.reserve(size);
  // While the body flows, the chunk is there: no clock, no wait.
  BodyQueue::Take take = body.TakeChunk(size, chunk);
  if (Answered(take)) return Conclude(take, body, chunk);
  using Clock = std::chrono::steady_clock;
  const auto timeout = std::chrono::seconds(settings_.timeoutSeconds);
  Clock::time_point lastByte = Clock::now();
  Clock::time_point deadline = lastByte + timeout;
  std::size_t had = chunk.size();
  for (;;) {
    if (chunk.size() > had) {  // time runs from the last byte
      had = chunk.size();
      lastByte = Clock::now();
      deadline = lastByte + timeout;
    }
    // A chunk is full unless the body ends, so that its byte count is exact; but bytes
    // that came before a server stopped sending are handed out after a short spell,
    // not held back until the time-out drops them.
    DWORD waitMs = WaitMilliseconds(deadline, timeout.count() > 0);
    if (!chunk.empty()) {
      auto quiet = Clock::now() - lastByte;
      if (quiet >= kPartialChunkDelay) return;
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(kPartialChunkDelay - quiet);
      waitMs = std::min<DWORD>(waitMs, static_cast<DWORD>(left.count()) + 1);
    }
    // Announce the wait, and look once more after announcing it, so that nothing that
    // came in between is missed.
    body.PrepareToWait();
    take = body.TakeChunk(size, chunk);
    if (Answered(take)) return Conclude(take, body, chunk);
    if (chunk.size() > had) continue;
    PumpThenWait(body.Signal(), std::min<DWORD>(waitMs, BodyQueue::kLongestWaitMs));
    take = body.TakeChunk(size, chunk);
    if (Answered(take)) return Conclude(take, body, chunk);
  }
}

std::string InetControl::GetHeader(const std::string& name) const {
  return response_ ? response_->Header(name) : "";
}

std::string InetControl::ResponseInfo() const { return response_ ? response_->Info() : ""; }

long InetControl::ResponseCode() const { return response_ ? response_->Code() : 0; }

void InetControl::Cancel() {
  currentRequestId_ = 0;
  if (std::shared_ptr<HttpRequest> request = http_) request->Cancel();
  if (std::shared_ptr<FtpOperation> operation = ftpOperation_; operation && operation->Executing())
    operation->Cancel();
}

bool InetControl::StillExecuting() const {
  return (http_ && http_->Executing()) || (ftpOperation_ && ftpOperation_->Executing());
}

void InetControl::SetRequestTimeout(int seconds) { settings_.timeoutSeconds = seconds; }
int InetControl::RequestTimeout() const { return settings_.timeoutSeconds; }

void InetControl::SetAccessType(int accessType) {
  if (accessType < kAccessPreconfigured || accessType > kAccessNamedProxy)
    throw RuntimeError(kErrInvalidPropertyValue, "Invalid property value");
  settings_.accessType = accessType;
}
int InetControl::AccessType() const { return settings_.accessType; }

void InetControl::SetProxy(std::string serverAndPort) { settings_.proxy = std::move(serverAndPort); }
const std::string& InetControl::Proxy() const { return settings_.proxy; }

void InetControl::SetUserName(std::string userName) { settings_.userName = std::move(userName); }
const std::string& InetControl::UserName() const { return settings_.userName; }

void InetControl::SetPassword(std::string password) { settings_.password = std::move(password); }
const std::string& InetControl::Password() const { return settings_.password; }

std::unique_ptr<StateLadder> InetControl::NewRequest() {
  currentRequestId_ = ++lastRequestId_;
  return std::make_unique<StateLadder>(*window_, currentRequestId_);
}

void InetControl::OnState(std::uint32_t requestId, int state) {
  if (requestId == currentRequestId_ && StateChanged) StateChanged(state);
}

// The last HTTP request may have ended, while its thread still closes its handles and
// reports "disconnected": it is silenced, so that no thread posts to the control's window
// once the control is gone. (Its late states would not be raised anyway.)
void InetControl::LetGoOfLastRequest() {
  if (std::shared_ptr<HttpRequest> last = std::exchange(http_, nullptr)) last->Cancel();
}

namespace {

DWORD WINAPI RunTransferThread(void* parameter) {
  std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(parameter));
  (*work)();
  return 0;
}

}  // namespace

void InetControl::StartThread(std::function<void()> work) {
  // Never joined: a transfer thread owns what it uses (see HttpRequest, FtpOperation),
  // and the work it runs with it, so its handle is closed at once.
  auto owned = std::make_unique<std::function<void()>>(std::move(work));
  UniqueHandle thread(CreateThread(nullptr, 0, &RunTransferThread, owned.get(), 0, nullptr));
  if (!thread) throw RuntimeError::FromLastError();
  static_cast<void>(owned.release());  // now the thread's
}

}  // namespace twi::inet
