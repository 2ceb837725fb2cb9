#pragma once
// The program's Internet transfer control: HTTP and HTTPS GET and anonymous FTP
// (CD, GET, CLOSE) over WinInet, driven by the download engine from the GUI thread.
//
// Blocking work happens on one transfer thread per request; every state change is posted
// to a message-only window of the control and raised through StateChanged on the thread
// that created the control, only while that thread pumps messages. So the caller stays
// single-threaded: it sees states as window events, as with any other control. The GUI
// thread never waits for a transfer thread: a cancelled or abandoned request's thread
// finishes on its own in the background (see HttpRequest).
//
// States (named in platform/inet/InetStates.h):
//   1 resolving host, 2 host resolved, 3 connecting, 4 connected, 5 requesting,
//   6 request sent, 7 receiving response, 8 response received (headers available),
//   9 disconnecting, 10 disconnected, 11 error (see ResponseInfo), 12 response completed
//   (HTTP: the body can be read with GetChunk).
// A request passes its states in the order 1..8, 12, 9, 10, 11 ("response completed"
// comes before the connection closes), skipping some, never one twice:
//   HTTP success, and HTTP error statuses (404, 500...) alike: 1..8, 12, and 9, 10
//     after GetChunk has handed out the end of the body. Steps that WinInet does not
//     report are filled in, so it is always all of 1..8.
//   HTTP failure before a response (refused, unknown host, untrusted certificate, no
//     answer within RequestTimeout): the states reached, then 11. A body that breaks
//     off later raises no state: GetChunk throws kErrTransferFailed.
//   FTP, per Execute: the first operation of a session 1..4, then CD 5, 6;
//     GET 5, 6, 7, 8 (8 once the local file is complete); CLOSE 9, 10; a failure 11
//     after the states reached (a missing file: 5, 11).
// States of a request that was cancelled or replaced by a newer one are never raised.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/inet/ConnectionSettings.h"
#include "platform/inet/InetStates.h"

namespace twi::inet {

// The control's run-time errors (twi::RuntimeError numbers). The download engine tells
// them apart as it told apart the numbers of the transfer control it was written for:
// Execute while a request is still executing; that control's 35764 ("still executing
// last request"), which the engine handles as "download failed".
constexpr long kErrStillExecuting = 30001;
// GetChunk got no byte within RequestTimeout seconds; that control's 35761 ("request
// timed out").
constexpr long kErrTimedOut = 30002;
// Reserved for "issue the request again without asking for the size"; that control's
// 35756. This control never raises it.
constexpr long kErrRetryWithoutSize = 30003;
// The body broke off (connection reset, read error): the download failed. The engine
// handles it like 35764 ("download failed").
constexpr long kErrTransferFailed = 30004;
// The control cannot be created (WinInet cannot be initialised); stands where a
// missing or unregistered control gave 339.
constexpr long kErrCannotCreate = 30005;

class StateWindow;
class StateLadder;
class HttpRequest;
class FtpSession;
class FtpOperation;
class Response;

class InetControl {
 public:
  // Throws twi::RuntimeError(kErrCannotCreate) when WinInet or the control's window
  // cannot be set up.
  InetControl();
  // Cancels the current request and waits for its transfer thread.
  ~InetControl();
  InetControl(const InetControl&) = delete;
  InetControl& operator=(const InetControl&) = delete;

  // HTTP(S): `operation` "GET" (or ""); starts the request and returns at once.
  // FTP: `url` "FTP://host[:port]", `operation` "CD <folder>", "GET <remote> <local
  // path>" or "CLOSE"; runs the operation and returns when it has finished (the local
  // file is then complete, and the operation's states have been raised), running window
  // messages meanwhile; Cancel ends it (a cancelled or failed GET leaves no local file).
  // Throws twi::RuntimeError: kErrStillExecuting while a request executes; invalid
  // procedure call (5) for a malformed address or an unknown operation.
  void Execute(const std::string& url, const std::string& operation = "GET");

  // The next part of the HTTP body: `size` bytes, fewer only for the last part or when
  // the server has sent nothing more for half a second (the bytes that came before a
  // stall are not held back); empty once the body is exhausted, and at once after
  // Cancel. Waits, running window messages, until that much has arrived. Throws
  // twi::RuntimeError kErrTimedOut after RequestTimeout seconds without a byte,
  // kErrTransferFailed when the body broke off (after handing out the bytes that came
  // before).
  std::vector<std::uint8_t> GetChunk(std::size_t size);
  // The same into `chunk`, whose storage is kept: a caller that reads a whole body
  // through one vector allocates once, not once per chunk.
  void GetChunk(std::size_t size, std::vector<std::uint8_t>& chunk);

  // A response header's value ("" when absent; "" as name gives all headers). For an
  // FTP GET, "Content-Length" is the remote file's size.
  std::string GetHeader(const std::string& name) const;
  // After state 11: what went wrong (WinInet's text and code, for FTP with the server's
  // reply). Otherwise the status line or the server's last reply.
  std::string ResponseInfo() const;
  // HTTP status code, or the FTP server's last reply code; 0 when none.
  long ResponseCode() const;

  // Stops the current request; its states are no longer raised.
  void Cancel();
  bool StillExecuting() const;

  // Seconds; also WinInet's connect, send and receive time-outs. 0: no time-out.
  void SetRequestTimeout(int seconds);
  int RequestTimeout() const;
  // 0 the system's pre-configured settings, 1 direct, 2 the named proxy in Proxy.
  // Throws twi::RuntimeError 380 (invalid property value) for any other value.
  void SetAccessType(int accessType);
  int AccessType() const;
  void SetProxy(std::string serverAndPort);  // "server:port"
  const std::string& Proxy() const;
  void SetUserName(std::string userName);  // proxy credentials
  const std::string& UserName() const;
  void SetPassword(std::string password);
  const std::string& Password() const;

  std::function<void(int state)> StateChanged;

 private:
  void ExecuteHttp(const std::string& url, const std::string& operation);
  void ExecuteFtp(const std::string& url, const std::string& operation);
  void WaitForFtp(const std::shared_ptr<FtpOperation>& operation);
  std::unique_ptr<StateLadder> NewRequest();
  void OnState(std::uint32_t requestId, int state);
  void LetGoOfLastRequest();
  // Runs `work` on a new transfer thread, which is never joined.
  static void StartThread(std::function<void()> work);

  ConnectionSettings settings_;
  std::unique_ptr<StateWindow> window_;
  std::shared_ptr<bool> alive_;  // false once destroyed: checked after pumping
  std::uint32_t lastRequestId_ = 0;
  std::uint32_t currentRequestId_ = 0;  // 0: states of no request are raised
  std::shared_ptr<HttpRequest> http_;
  std::shared_ptr<FtpSession> ftpSession_;
  std::shared_ptr<FtpOperation> ftpOperation_;
  std::shared_ptr<Response> response_;
};

}  // namespace twi::inet
