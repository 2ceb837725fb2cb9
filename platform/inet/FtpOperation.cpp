#include "platform/inet/FtpOperation.h"

#include <cstdlib>
#include <vector>

#include "base/RuntimeError.h"
#include "base/TextConv.h"
#include "platform/inet/InternetError.h"

namespace twi::inet {
namespace {

constexpr std::size_t kBlockSize = 64 * 1024;
constexpr std::size_t kQueuedBlocks = 4;

// "GET a.zip C:\Temp\a.zip" -> {"GET", "a.zip C:\Temp\a.zip"}
std::pair<std::string, std::string> SplitFirstWord(const std::string& text) {
  std::string trimmed = Trim(text);
  auto blank = trimmed.find(' ');
  if (blank == std::string::npos) return {trimmed, ""};
  return {trimmed.substr(0, blank), Trim(trimmed.substr(blank + 1))};
}

RuntimeError BadOperation(const std::string& operation) {
  return RuntimeError(err::InvalidProcedureCall, "Invalid FTP operation: " + operation);
}

long LeadingNumber(const std::string& text) { return std::strtol(text.c_str(), nullptr, 10); }

}  // namespace

FtpOperation::Command FtpOperation::Parse(const std::string& operation) {
  auto [verb, rest] = SplitFirstWord(operation);
  verb = UpperAscii(verb);
  if (verb == "CD" && !rest.empty()) return {Kind::ChangeFolder, rest, ""};
  if (verb == "CLOSE" && rest.empty()) return {Kind::Close, "", ""};
  if (verb == "GET") {
    auto [remote, local] = SplitFirstWord(rest);
    if (!remote.empty() && !local.empty()) return {Kind::Get, remote, local};
  }
  throw BadOperation(operation);
}

FtpOperation::FtpOperation(std::shared_ptr<FtpSession> session, Command command,
                           std::unique_ptr<StateLadder> ladder)
    : session_(std::move(session)),
      command_(std::move(command)),
      ladder_(std::move(ladder)),
      body_(kQueuedBlocks, kBlockSize) {}

void FtpOperation::Run() {
  try {
    Perform();
  } catch (const FtpError& error) {
    Fail(error.code);
  }
  body_.Finish();  // whatever happened, nothing more comes
  finished_ = true;
  done_.Set();
}

void FtpOperation::Cancel() {
  cancelled_ = true;
  ladder_->Close();
  session_->Abort();
  body_.Cancel();
  DiscardLocalFile();
  done_.Set();
}

void FtpOperation::Perform() {
  if (command_.kind == Kind::Close) {
    ladder_->Reach(state::Disconnecting);
    session_->Disconnect();
    ladder_->Reach(state::Disconnected);
    return;
  }
  if (session_->Connected()) {
    ladder_->StartAfter(state::Connected);
  } else {
    session_->Connect(*ladder_);
    ladder_->Reach(state::Connected);
  }
  if (command_.kind == Kind::ChangeFolder) {
    ladder_->Reach(state::Requesting);
    session_->ChangeFolder(command_.remote);
    TakeServerReply();
    ladder_->Reach(state::RequestSent);
  } else {
    Get();
  }
}

void FtpOperation::Get() {
  ladder_->Reach(state::Requesting);
  std::string size = session_->RemoteSize(command_.remote);
  session_->OpenRemote(command_.remote);
  ladder_->Reach(state::RequestSent);
  response_->SetHeaders(0, size.empty() ? "" : "Content-Length: " + size + "\r\n");
  remoteOpen_ = true;
  ladder_->Reach(state::ReceivingResponse);
  DWORD error = session_->ReadRemote(body_);
  if (cancelled_) return;
  if (DWORD local = localFailure_) throw FtpError{local};
  if (error) {
    body_.Fail(DescribeInternetError(error));
    throw FtpError{error};
  }
  body_.Finish();
  body_.WaitUntilTakenToEnd();  // the GUI thread has written the file and closed it
  if (cancelled_) return;
  if (DWORD local = localFailure_) throw FtpError{local};
  TakeServerReply();
  ladder_->Reach(state::ResponseReceived);
}

void FtpOperation::Fail(DWORD code) {
  if (cancelled_) return;
  std::string reply = LastServerReply();
  response_->SetInfo(DescribeInternetError(code));
  if (code == ERROR_INTERNET_EXTENDED_ERROR) response_->SetCode(LeadingNumber(reply));
  ladder_->Reach(state::Error);
}

void FtpOperation::TakeServerReply() {
  std::string reply = LastServerReply();
  response_->SetCode(LeadingNumber(reply));
  response_->SetInfo(reply);
}

void FtpOperation::TakeData() {
  if (command_.kind != Kind::Get || cancelled_ || localFailure_) return;
  if (!localFileDone_) {
    if (!remoteOpen_) return;
    localFile_.Reset(CreateFileW(ToWide(command_.local).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                 nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    localFileDone_ = true;
    if (!localFile_) return FailLocally(GetLastError());
  }
  if (!localFile_) return;  // complete and closed
  std::vector<std::uint8_t> chunk;
  chunk.reserve(kBlockSize);
  for (;;) {
    chunk.clear();
    BodyQueue::Take take = body_.TakeChunk(kBlockSize, chunk);
    if (!chunk.empty()) {
      DWORD written = 0;
      if (!WriteFile(localFile_.Get(), chunk.data(), static_cast<DWORD>(chunk.size()), &written,
                     nullptr))
        return FailLocally(GetLastError());
      if (written != chunk.size()) return FailLocally(ERROR_DISK_FULL);
    }
    switch (take) {
      case BodyQueue::Take::Data: continue;
      case BodyQueue::Take::NothingYet: return;
      case BodyQueue::Take::End: localFile_.Reset(); return;  // complete
      default: DiscardLocalFile(); return;                    // failed or cancelled
    }
  }
}

void FtpOperation::FailLocally(DWORD code) {
  localFailure_ = code ? code : ERROR_WRITE_FAULT;
  body_.Cancel();  // the transfer thread stops reading and reports the failure
  DiscardLocalFile();
}

void FtpOperation::DiscardLocalFile() {
  if (!localFileDone_) return;
  localFile_.Reset();
  DeleteFileW(ToWide(command_.local).c_str());
}

}  // namespace twi::inet
