#pragma once
// One FTP operation of the control ("CD folder", "GET remote local", "CLOSE"), run on a
// transfer thread against the session of its host.
//
// A GET's data come to the GUI thread through a body queue and are written to the local
// file there (TakeData), so that only the GUI thread ever holds that file: a cancel
// removes it at once, whatever the transfer thread is still waiting for. The transfer
// thread is let go after a cancel, as an HTTP request's is (see HttpRequest): it ends
// when its blocked call returns, holding only the operation and the session.
//
// States posted: for the first operation of a session the connection steps 1..4; then
// CD 5, 6; GET 5, 6, 7 (the remote size is then in the header "Content-Length") and 8
// once the local file is complete and closed; CLOSE 9, 10. A failure posts 11 after the
// states reached, with WinInet's text and the server's reply in Result().Info().
#include <atomic>
#include <memory>
#include <string>

#include "base/UniqueHandle.h"
#include "platform/inet/BodyQueue.h"
#include "platform/inet/FtpSession.h"
#include "platform/inet/KernelEvent.h"
#include "platform/inet/Response.h"
#include "platform/inet/StateLadder.h"

namespace twi::inet {

class FtpOperation {
 public:
  enum class Kind { ChangeFolder, Get, Close };
  struct Command {
    Kind kind;
    std::string remote;  // folder for CD, file for GET
    std::string local;   // local file path for GET
  };
  // Splits an operation text. Throws twi::RuntimeError (invalid procedure call) for
  // anything else than CD, GET and CLOSE with their arguments.
  static Command Parse(const std::string& operation);

  FtpOperation(std::shared_ptr<FtpSession> session, Command command,
               std::unique_ptr<StateLadder> ladder);
  FtpOperation(const FtpOperation&) = delete;
  FtpOperation& operator=(const FtpOperation&) = delete;

  void Run();  // transfer thread

  // GUI thread. Stops the operation: no more states; a GET's local file is removed.
  void Cancel();
  // GUI thread, GET: writes what has come to the local file (creating it once the remote
  // file is open), closing it at the end of the data; a failure removes it.
  void TakeData();
  // GUI thread: call before a last TakeData and a wait on the signals.
  void PrepareToWait() { body_.PrepareToWait(); }

  bool Executing() const { return !finished_ && !cancelled_; }
  bool WasCancelled() const { return cancelled_; }
  Kind GetKind() const { return command_.kind; }
  // Signalled when the operation has finished or was cancelled.
  HANDLE DoneSignal() const { return done_.Get(); }
  // Signalled when data for TakeData came.
  HANDLE DataSignal() const { return body_.Signal(); }
  const std::shared_ptr<Response>& Result() const { return response_; }

 private:
  void Perform();
  void Get();
  void Fail(DWORD code);
  void TakeServerReply();
  // GUI thread: the local file cannot be written; the operation fails with `code`.
  void FailLocally(DWORD code);
  void DiscardLocalFile();  // GUI thread

  const std::shared_ptr<FtpSession> session_;
  const Command command_;
  const std::unique_ptr<StateLadder> ladder_;
  const std::shared_ptr<Response> response_ = std::make_shared<Response>();
  BodyQueue body_;
  KernelEvent done_{KernelEvent::Reset::Manual};
  std::atomic<bool> finished_{false};
  std::atomic<bool> cancelled_{false};
  std::atomic<bool> remoteOpen_{false};      // GET: the data may come
  std::atomic<DWORD> localFailure_{0};       // GET: the local file could not be written
  UniqueHandle localFile_;                   // GUI thread only
  bool localFileDone_ = false;               // GUI thread only: created (and maybe closed)
};

}  // namespace twi::inet
