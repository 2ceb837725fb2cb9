#pragma once
// One FTP operation of the control ("CD folder", "GET remote local", "CLOSE"), run on a
// transfer thread against the session of its host.
//
// States posted: for the first operation of a session the connection steps 1..4; then
// CD 5, 6; GET 5, 6, 7 (the remote size is then in the header "Content-Length") and 8
// once the local file is complete; CLOSE 9, 10. A failure posts 11 after the states
// reached, with WinInet's text and the server's reply in Result().Info().
#include <atomic>
#include <memory>
#include <string>

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

  void Run();     // transfer thread
  void Cancel();  // any thread
  bool Executing() const { return !finished_ && !cancelled_; }
  bool WasCancelled() const { return cancelled_; }
  Kind GetKind() const { return command_.kind; }
  // Signalled when the operation has finished or was cancelled.
  HANDLE DoneSignal() const { return done_.Get(); }
  const std::shared_ptr<Response>& Result() const { return response_; }

 private:
  void Perform();
  void Get();
  void Fail(DWORD code);
  void TakeServerReply();

  const std::shared_ptr<FtpSession> session_;
  const Command command_;
  const std::unique_ptr<StateLadder> ladder_;
  const std::shared_ptr<Response> response_ = std::make_shared<Response>();
  KernelEvent done_{KernelEvent::Reset::Manual};
  std::atomic<bool> finished_{false};
  std::atomic<bool> cancelled_{false};
};

}  // namespace twi::inet
