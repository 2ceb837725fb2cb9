#include "platform/inet/FtpSession.h"

#include <memory>
#include <vector>

#include "base/TextConv.h"
#include "base/UniqueHandle.h"
#include "platform/inet/InternetError.h"
#include "platform/inet/StateLadder.h"

namespace twi::inet {
namespace {

constexpr DWORD kBlockSize = 64 * 1024;

UniqueHandle CreateLocalFile(const std::wstring& path) {
  return UniqueHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

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

void FtpSession::CopyRemoteTo(const std::string& localPath, const std::atomic<bool>& cancelled) {
  std::wstring path = ToWide(localPath);
  UniqueHandle out = CreateLocalFile(path);
  DWORD error = out ? CopyBlocks(out.Get(), cancelled) : GetLastError();
  transfer_.Close();  // lets the server's "transfer complete" reply be read
  if (error == 0) return;
  if (out) {
    out.Reset();
    DeleteFileW(path.c_str());
  }
  throw FtpError{error};
}

DWORD FtpSession::CopyBlocks(HANDLE out, const std::atomic<bool>& cancelled) {
  std::vector<char> block(kBlockSize);
  for (;;) {
    if (cancelled) return ERROR_INTERNET_OPERATION_CANCELLED;
    DWORD got = 0;
    if (!InternetReadFile(transfer_.Get(), block.data(), kBlockSize, &got)) return GetLastError();
    if (got == 0) return 0;
    DWORD written = 0;
    if (!WriteFile(out, block.data(), got, &written, nullptr)) return GetLastError();
    if (written != got) return ERROR_DISK_FULL;
  }
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
