#pragma once
// One anonymous, passive FTP connection to one host, kept from the first operation until
// CLOSE, so that the caller's CD, GET and CLOSE run in one session.
//
// Synchronous WinInet on purpose: the server's reply to a failed command
// (InternetGetLastResponseInfo) is kept per thread, and asynchronous WinInet would run
// the commands on threads of its own. The operations are used from one transfer thread
// at a time; Abort may come from any thread and takes the handles away, so that the
// next call fails at once (the copy loop also checks for cancellation between blocks).
// A call that is already blocked runs on until the server answers or WinInet's time-out
// (RequestTimeout) ends it: closing its handle does not end it under Wine.
// Failures throw FtpError on the calling thread, where the reply can still be read.
#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <mutex>
#include <string>

#include "platform/inet/ConnectionSettings.h"
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
  // Copies the file opened by OpenRemote into `localPath`. A copy that fails or is
  // cancelled leaves no local file.
  void CopyRemoteTo(const std::string& localPath, const std::atomic<bool>& cancelled);
  void Disconnect();
  void Abort();

 private:
  // Reads the opened remote file into `out` until its end; the failure's code or 0.
  DWORD CopyBlocks(HANDLE out, const std::atomic<bool>& cancelled);
  static void CALLBACK OnStatus(HINTERNET handle, DWORD_PTR context, DWORD status, void* info,
                                DWORD infoLength);

  const std::wstring host_;
  const INTERNET_PORT port_;
  const ConnectionSettings settings_;
  std::mutex ladderMutex_;
  StateLadder* connectLadder_ = nullptr;  // set while connecting
  InternetHandle session_;
  InternetHandle connection_;
  InternetHandle transfer_;
};

}  // namespace twi::inet
