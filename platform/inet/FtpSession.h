#pragma once
// One anonymous, passive FTP connection to one host, kept from the first operation until
// CLOSE, so that the caller's CD, GET and CLOSE run in one session.
//
// Synchronous WinInet on purpose: the server's reply to a failed command
// (InternetGetLastResponseInfo) is kept per thread, and asynchronous WinInet would run
// the commands on threads of its own. The operations are used from one transfer thread
// at a time; Abort may come from any thread and takes the handles away, so that the
// next call fails at once. A call that is already blocked runs on until the server
// answers or WinInet gives up (closing its handle does not end it under Wine); its
// thread is let go meanwhile (see FtpOperation).
// Failures throw FtpError on the calling thread, where the reply can still be read.
#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <string>

#include "platform/inet/BodyQueue.h"
#include "platform/inet/ConnectionSettings.h"
#include "platform/inet/CriticalSection.h"
#include "platform/inet/InternetHandle.h"

namespace twi::inet {

class StateLadder;

struct FtpError {
  DWORD code;
};

class FtpSession {
 public:
  FtpSession(std::wstring host, INTERNET_PORT port, ConnectionSettings settings);
  ~FtpSession();
  FtpSession(const FtpSession&) = delete;
  FtpSession& operator=(const FtpSession&) = delete;

  bool Serves(const std::wstring& host, INTERNET_PORT port) const;
  bool Connected() const { return static_cast<bool>(connection_); }

  // Connects and logs in; the steps reached (states 1..4) go to `ladder`.
  void Connect(StateLadder& ladder);
  void ChangeFolder(const std::string& folder);
  // The remote file's size in bytes as text, "" when the server does not tell.
  std::string RemoteSize(const std::string& file);
  void OpenRemote(const std::string& file);
  // Reads the file opened by OpenRemote into `body`, block by block, until its end;
  // then closes it, so that the server's reply to the transfer can be read. The
  // failure's code, or 0; ERROR_INTERNET_OPERATION_CANCELLED when `body` was cancelled.
  DWORD ReadRemote(BodyQueue& body);
  void Disconnect();
  void Abort();

 private:
  static void CALLBACK OnStatus(HINTERNET handle, DWORD_PTR context, DWORD status, void* info,
                                DWORD infoLength);

  const std::wstring host_;
  const INTERNET_PORT port_;
  const ConnectionSettings settings_;
  CriticalSection ladderMutex_;
  StateLadder* connectLadder_ = nullptr;  // set while connecting
  InternetHandle session_;
  InternetHandle connection_;
  InternetHandle transfer_;
};

}  // namespace twi::inet
