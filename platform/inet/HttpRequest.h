#pragma once
// One HTTP or HTTPS GET, run on a transfer thread over asynchronous WinInet.
//
// Asynchronous WinInet is used although the transfer thread only ever waits for one call
// at a time: a pending call can be abandoned at once on Cancel. (A synchronous call that
// is blocked in a receive is not ended by closing its handle under Wine; it would hold up
// the thread, and with it the destruction of the control, until the server moves.)
// Cancel only signals; the transfer thread leaves its wait at once and hands the
// handles to the thread pool to be closed (see InternetHandle::CloseInBackground).
// Because WinInet may still report on abandoned handles later, from its own threads, the
// request keeps itself alive until WinInet has closed every handle that names it.
//
// States posted: the steps of reaching the response (1..8, see StateLadder), then 12 as
// soon as the headers are in and the body can be read; after the consumer has taken the
// end of the body, 9 and 10. A request that fails before its response posts 11 after the
// steps it reached, with the reason in Result().Info(). A body that breaks off posts
// nothing more: the consumer learns it from the body queue.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/inet/BodyQueue.h"
#include "platform/inet/ConnectionSettings.h"
#include "platform/inet/InternetHandle.h"
#include "platform/inet/KernelEvent.h"
#include "platform/inet/Response.h"
#include "platform/inet/StateLadder.h"
#include "platform/inet/Url.h"

namespace twi::inet {

class HttpRequest : public std::enable_shared_from_this<HttpRequest> {
 public:
  HttpRequest(Url url, ConnectionSettings settings, std::unique_ptr<StateLadder> ladder);
  HttpRequest(const HttpRequest&) = delete;
  HttpRequest& operator=(const HttpRequest&) = delete;

  // Transfer thread: runs the request until its body has been taken to the end, it
  // failed, or it was cancelled. The object must be owned by a shared_ptr.
  void Run();

  // Any thread. Stops the request: no more states, the body reads as empty.
  void Cancel();
  // True from the start until the body was taken to its end, the request failed or it
  // was cancelled.
  bool Executing() const;
  BodyQueue& Body() { return body_; }
  const std::shared_ptr<Response>& Result() const { return response_; }

  // WinInet's status callback for the handles of a request (context: the request).
  static void CALLBACK OnStatus(HINTERNET handle, DWORD_PTR context, DWORD status, void* info,
                                DWORD infoLength);

 private:
  struct Cancelled {};
  struct Failed {
    DWORD code;
  };

  void OpenHandles();
  void SendRequest();
  void ReadResponseHead();
  void ReadBody();
  enum class BodyEnd { Complete, BrokenOff };
  BodyEnd ReadBodyBlocks();
  // Hands the first `filled` bytes of the read buffer to the body queue; `filled` := 0.
  void PassOn(std::size_t& filled);
  BodyEnd EndBody(DWORD error);
  // The outcome of a call that WinInet may leave pending: its error code, 0 for success.
  // Waits up to `timeoutMs` (INFINITE: no limit) for a pending call. Throws Cancelled.
  DWORD Await(BOOL callSucceeded, DWORD timeoutMs);
  DWORD WaitForCompletion(DWORD timeoutMs);
  void CloseHandles();
  void CloseHandlesInBackground();
  void FailBeforeResponse(DWORD code);
  void OnRequestComplete(const INTERNET_ASYNC_RESULT& result);
  void OnHandleCreated();
  void OnHandleClosing();
  void FinishRun();

  const Url url_;
  const ConnectionSettings settings_;
  const std::unique_ptr<StateLadder> ladder_;
  const std::shared_ptr<Response> response_ = std::make_shared<Response>();
  BodyQueue body_;
  std::atomic<bool> cancelled_{false};
  std::atomic<bool> failed_{false};

  InternetHandle session_;
  InternetHandle connection_;
  InternetHandle request_;

  // Completion of the pending call. The buffers that a pending call writes to are
  // members, so that they outlive an abandoned call.
  KernelEvent completed_{KernelEvent::Reset::Auto};
  KernelEvent cancelEvent_{KernelEvent::Reset::Manual};
  INTERNET_ASYNC_RESULT asyncResult_{};
  DWORD available_ = 0;
  DWORD bytesRead_ = 0;
  std::vector<std::uint8_t> readBuffer_;

  // Self-ownership while WinInet may still call back (see above): the handles naming
  // the request are counted from WinInet's "created" to its "closing" notification.
  std::mutex lifeMutex_;
  std::shared_ptr<HttpRequest> keepAlive_;
  int openHandles_ = 0;
  bool runFinished_ = false;
};

}  // namespace twi::inet
