#pragma once
// One HTTP or HTTPS GET, run on its own transfer thread over synchronous WinInet: the
// body is read with blocking InternetReadFile calls of up to 256 KB, each a plain call on
// this thread (asynchronous WinInet sends every call through its thread pool and hands
// out at most 8 KB a time).
//
// A blocked synchronous call cannot be ended from outside under Wine: closing its handle
// does not end it, and after a receive time-out the connection is dropped, so a short
// time-out cannot be waited out in a loop. So a cancelled request is let go: Cancel only
// marks it (no more states, the body reads as empty, the GUI thread goes on at once) and
// the transfer thread finishes on its own, in the background, when its call returns:
// at once for a body that flows, after WinInet's receive time-out (RequestTimeout) for a
// server that went quiet. The thread owns the request (and with it the handles, the body
// queue and the response); it never touches the control or a window, and posts no state
// once cancelled.
//
// States posted: the steps of reaching the response (1..8, see StateLadder), then 12 as
// soon as the headers are in and the body can be read; after the consumer has taken the
// end of the body, 9 and 10. A request that fails before its response posts 11 after the
// steps it reached, with the reason in Result().Info(). A body that breaks off or stalls
// posts nothing more: the consumer learns it from the body queue.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/inet/BodyQueue.h"
#include "platform/inet/ConnectionSettings.h"
#include "platform/inet/InternetHandle.h"
#include "platform/inet/Response.h"
#include "platform/inet/StateLadder.h"
#include "platform/inet/Url.h"

namespace twi::inet {

class HttpRequest {
 public:
  HttpRequest(Url url, ConnectionSettings settings, std::unique_ptr<StateLadder> ladder);
  HttpRequest(const HttpRequest&) = delete;
  HttpRequest& operator=(const HttpRequest&) = delete;

  // Transfer thread: runs the request until its body has been taken to the end, it
  // failed, or it was cancelled, and closes its handles.
  void Run();

  // Any thread. Stops the request: no more states, the body reads as empty.
  void Cancel();
  // True from the start until the body was taken to its end, the request failed or it
  // was cancelled.
  bool Executing() const;
  BodyQueue& Body() { return body_; }
  const std::shared_ptr<Response>& Result() const { return response_; }

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
  // Hands the block on to the body queue (when it holds anything) and starts a new one;
  // `urgent`: the consumer is to have it at once (see BodyQueue::Push).
  void PassOn(BodyBlock& block, bool urgent);
  BodyEnd EndBody(DWORD error);
  void CloseHandles();
  void FailBeforeResponse(DWORD code);
  static void CALLBACK OnStatus(HINTERNET handle, DWORD_PTR context, DWORD status, void* info,
                                DWORD infoLength);

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
};

}  // namespace twi::inet
