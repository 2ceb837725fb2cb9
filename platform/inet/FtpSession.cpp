#include "platform/inet/FtpSession.h"

#include "base/TextConv.h"
#include "platform/inet/InternetError.h"
#include "platform/inet/StateLadder.h"

namespace twi::inet {

FtpSession::FtpSession(std::wstring host, INTERNET_PORT port, ConnectionSettings settings)
    : host_(std::move(host)), port_(port), settings_(std::move(settings)) {}

FtpSession::~FtpSession() { Disconnect(); }

bool FtpSession::Serves(const std::wstring& host, INTERNET_PORT port) const {
  return host == host_ && port == port_;
}

void FtpSession::Connect(StateLadder& ladder) {
  session_.Reset(OpenSession(settings_, 0));
  if (!session_) throw FtpError{GetLastError()};
  InternetSetStatusCallbackW(session_.Get(), &FtpSession::OnStatus);
  {
    std::lock_guard lock(ladderMutex_);
    connectLadder_ = &ladder;
  }
  HINTERNET connection =
      InternetConnectW(session_.Get(), host_.c_str(), port_, nullptr, nullptr,
                       INTERNET_SERVICE_FTP, INTERNET_FLAG_PASSIVE, reinterpret_cast<DWORD_PTR>(this));
  DWORD error = connection ? 0 : GetLastError();
  {
    std::lock_guard lock(ladderMutex_);
    connectLadder_ = nullptr;
  }
  if (!connection) throw FtpError{error};
  connection_.Reset(connection);
  ApplyProxyCredentials(connection, settings_);
}

void FtpSession::ChangeFolder(const std::string& folder) {
  if (!FtpSetCurrentDirectoryW(connection_.Get(), ToWide(folder).c_str()))
    throw FtpError{GetLastError()};
}

std::string FtpSession::RemoteSize(const std::string& file) {
  // FtpGetFileSize is not usable everywhere (it gives 0 under Wine); the SIZE command
  // answers "213 <bytes>".
  std::wstring command = L"SIZE " + ToWide(file);
  if (!FtpCommandW(connection_.Get(), FALSE, FTP_TRANSFER_TYPE_BINARY, command.c_str(), 0, nullptr))
    return "";
  std::string reply = LastServerReply();
  if (reply.rfind("213 ", 0) != 0) return "";
  std::string size = Trim(reply.substr(4));
  return size.find_first_not_of("0123456789") == std::string::npos ? size : "";
}

void FtpSession::OpenRemote(const std::string& file) {
  transfer_.Reset(FtpOpenFileW(connection_.Get(), ToWide(file).c_str(), GENERIC_READ,
                               FTP_TRANSFER_TYPE_BINARY | INTERNET_FLAG_RELOAD, 0));
  if (!transfer_) throw FtpError{GetLastError()};
}

DWORD FtpSession::ReadRemote(BodyQueue& body) {
  DWORD error = 0;
  for (;;) {
    BodyBlock block = body.EmptyBlock();
    DWORD got = 0;
    if (!InternetReadFile(transfer_.Get(), block.bytes.get(), static_cast<DWORD>(block.capacity),
                          &got)) {
      error = GetLastError();
      break;
    }
    if (got == 0) break;
    block.size = got;
    const bool partial = got < block.capacity;  // the end is near: no need to wait for more
    if (!body.Push(std::move(block), partial)) {
      error = ERROR_INTERNET_OPERATION_CANCELLED;
      break;
    }
  }
  transfer_.Close();  // lets the server's "transfer complete" reply be read
  return error;
}

void FtpSession::Disconnect() {
  transfer_.Close();
  connection_.Close();
  session_.Close();
}

void FtpSession::Abort() {
  // Not on the calling (GUI) thread: closing a connection says goodbye to the server and
  // waits for its answer.
  transfer_.CloseInBackground();
  connection_.CloseInBackground();
  session_.CloseInBackground();
}

void CALLBACK FtpSession::OnStatus(HINTERNET, DWORD_PTR context, DWORD status, void*, DWORD) {
  if (!context) return;
  auto* session = reinterpret_cast<FtpSession*>(context);
  std::lock_guard lock(session->ladderMutex_);
  if (session->connectLadder_) session->connectLadder_->ReachFromWinInet(status, state::Connected);
}

}  // namespace twi::inet
