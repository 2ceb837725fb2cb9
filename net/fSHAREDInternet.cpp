#include "net/fSHAREDInternet.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/Clock.h"
#include "base/DoEvents.h"
#include "base/FileTable.h"
#include "base/RuntimeError.h"
#include "base/TextConv.h"
#include "base/Trap.h"
#include "diag/TrapToLog.h"
#include "diag/cSharedLogging.h"
#include "platform/inet/InetControl.h"
#include "settings/Variant.h"
#include "sys/cSHAREDDelay.h"
#include "sys/cSHAREDSubs.h"
#include "sys/cSharedFileSubs.h"

namespace twi {
namespace {

constexpr const char* kModule = "fSHAREDInternet";
constexpr short kQuietTicksAllowed = 60;
constexpr std::size_t kChunkSize = 1024;

// Whole-number rounding as the progress texts use it (halves to even).
long Rounded(double value) { return static_cast<long>(std::nearbyint(value)); }

// The leading number of a header value ("1500", " 1500 ", "1500abc").
long LeadingNumber(const std::string& text) {
  std::string digits = Trim(text);
  char* end = nullptr;
  double value = std::strtod(digits.c_str(), &end);
  return end == digits.c_str() ? 0 : Rounded(value);
}

// The failure the state handling reports for each of the control's errors.
enum class Failure { None, DownloadFailed, TimedOut, RepeatWithoutSize };

Failure FailureOf(long number) {
  if (number == inet::kErrStillExecuting || number == inet::kErrTransferFailed)
    return Failure::DownloadFailed;
  if (number == inet::kErrTimedOut) return Failure::TimedOut;
  if (number == inet::kErrRetryWithoutSize) return Failure::RepeatWithoutSize;
  return Failure::None;
}

// A file that cannot be written ends the download as a failed one: finishing
// it would report a truncated file as complete.
class WriteFailed : public RuntimeError {
 public:
  explicit WriteFailed(const RuntimeError& cause) : RuntimeError(cause) {}
};

}  // namespace

fSHAREDInternet::fSHAREDInternet() : ui::Form("Internet", 4695, 1860) {}

fSHAREDInternet::~fSHAREDInternet() {
  Timer1.SetEnabled(false);
  inet_.reset();
}

void fSHAREDInternet::CreateControls() {
  Frame1.Create(*this, "", {120, 60, 4455, 1095});
  lblFile.Create(Frame1, "", {120, 240, 4215, 330});
  lblProgress.Create(Frame1, "", {120, 660, 4215, 330});
  cmdStop.Create(*this, "Stop", {1800, 1290, 1095, 420});
  cmdStop.OnClick = [this] { Cancel(); };
  Timer1.SetInterval(tickMilliseconds_);
  Timer1.SetEnabled(false);
  Timer1.OnTimer = [this] { Timer1_Timer(); };
}

void fSHAREDInternet::Form_Load() {
  SetWindowState(1);  // whenever it is shown, it is shown minimised
  // Without its control the engine ends every transfer at once instead of
  // leaving its client waiting for events that never come.
  ControlMissing = !TrapToLog("Form_Load", kModule, [&] {
    inet_ = std::make_unique<inet::InetControl>();
    inet_->StateChanged = [this](int state) { Inet1_StateChanged(state); };
  });
}

void fSHAREDInternet::SetTimingForTests(unsigned tickMilliseconds, int requestTimeoutSeconds) {
  tickMilliseconds_ = tickMilliseconds;
  requestTimeoutSeconds_ = requestTimeoutSeconds;
  Timer1.SetInterval(tickMilliseconds);
  if (inet_) inet_->SetRequestTimeout(requestTimeoutSeconds);
}

void fSHAREDInternet::SetProgressLabel(const std::string& text) {
  if (lblProgress.Exists()) lblProgress.SetCaption(text);
}

void fSHAREDInternet::RaiseStatus(const std::string& text) {
  if (!SuppressAllButErrors && Status) Status(text);
}

// ---- public operations ----

void fSHAREDInternet::DownloadFile(const std::string& sUrl, const std::string& filename,
                                   bool getSize) {
  ApplyProxy();  // every transfer goes the way the user chose
  cSharedFileSubs& files = TheFileSubs();
  sUrl_ = sUrl;
  bGetSize = getSize;
  if (ControlMissing) {
    files.EraseFile(filename);
    TransferDone = true;
    if (DownloadFinished) DownloadFinished();
    if (NoInternet) NoInternet();
    return;
  }
  TrapToLog("DownloadFile", kModule, [&] { lblFile.SetCaption(filename); });
  expectedFilesize_ = 0;
  WriteToFile = true;
  receivedAnyText_ = false;
  receivedBytes_.clear();
  // The access type stays as the proxy settings set it: every transfer goes the
  // way the user chose.
  if (files.FileExists(filename)) files.EraseFile(filename);
  Filename = filename;
  TrapToLog("DownloadFile", kModule, [&] { inet_->SetRequestTimeout(requestTimeoutSeconds_); });
  TimeoutTicks = 0;
  Timer1.SetEnabled(true);
  if (UpperAscii(sUrl.substr(0, 3)) == "FTP") {
    TrapToLog("DownloadFile", kModule, [&] { RunFtpScript(); });
    return;
  }
  TrapToLog("DownloadFile", kModule, [&] { inet_->Execute(Trim(sUrl), "GET"); });
}

fSHAREDInternet::FtpAddress fSHAREDInternet::ParseFtpAddress(const std::string& sUrl) {
  cSharedFileSubs& files = TheFileSubs();
  std::string url = ReplaceAll(sUrl, "\\", "/");
  FtpAddress address;
  std::string path;
  if (UpperAscii(url.substr(0, 4)) == "FTP.") {
    // No scheme: the host is everything before the first "/".
    size_t slash = url.find('/');
    address.host = url.substr(0, slash);
    path = slash == std::string::npos ? "/" : url.substr(slash);
  } else {
    // A scheme: the host follows the double slash.
    size_t first = url.find('/');
    size_t start = first == std::string::npos ? url.size() : std::min(url.size(), first + 2);
    size_t next = url.find('/', start);
    address.host = url.substr(start, next == std::string::npos ? std::string::npos : next - start);
    path = next == std::string::npos ? "/" : url.substr(next);
  }
  address.folder = files.PathOnly(path);
  address.file = files.FileOnly(path);
  return address;
}

void fSHAREDInternet::RunFtpScript() {
  FtpAddress ftp = ParseFtpAddress(sUrl_);
  if (ftp.host.empty()) {
    if (DownloadError) DownloadError("No address specified");
    return;
  }
  const std::string address = "FTP://" + ftp.host;
  TrapToLog("DownloadFile", kModule, [&] { inet_->Execute(address, "CD " + ftp.folder); });
  TrapToLog("DownloadFile", kModule,
            [&] { inet_->Execute(address, "GET " + ftp.file + " " + Filename); });
  TrapToLog("DownloadFile", kModule, [&] { inet_->Execute(address, "CLOSE"); });
  if (DownloadFinished) DownloadFinished();
}

std::string fSHAREDInternet::OpenURL(const std::string& sUrl, bool showStatus) {
  ApplyProxy();  // every transfer goes the way the user chose
  sUrl_ = sUrl;
  if (ControlMissing) {
    TransferDone = true;
    if (NoInternet) NoInternet();
    return "";
  }
  SuppressAllButErrors = !showStatus;
  TimeoutTicks = 0;
  Timer1.SetEnabled(true);
  expectedFilesize_ = 0;
  receivedBytes_.clear();
  receivedAnyText_ = false;
  TransferDone = false;
  WriteToFile = false;
  bGetSize = false;
  TrapToLog("OpenURL", kModule, [&] { inet_->Execute(Trim(sUrl), "GET"); });
  while (Timer1.Enabled() && !TransferDone) {
    TheDelay().RegularDoEvents();
    TheDelay().Sleep(100);
  }
  return ReceivedText();
}

std::string fSHAREDInternet::ReceivedText() const {
  std::vector<std::uint8_t> bytes(receivedBytes_.begin(), receivedBytes_.end());
  return ByteArrayToString(bytes);
}

void fSHAREDInternet::Cancel() {
  TrapToLog("Cancel", kModule, [&] {
    if (inet_) inet_->Cancel();
  });
  TransferDone = true;
  Timer1.SetEnabled(false);
  if (Progress) Progress(0, "Download cancelled");
  if (DownloadCancelled) DownloadCancelled();
}

bool fSHAREDInternet::Connected() {
  bool executing = false;
  TrapToLog("Connected", kModule, [&] { executing = inet_ && inet_->StillExecuting(); });
  return executing;
}

void fSHAREDInternet::Timer1_Timer() {
  ++TimeoutTicks;
  if (TimeoutTicks > kQuietTicksAllowed) {
    if (DownloadError) DownloadError("Transfer timed out");
    TransferDone = true;
    Timer1.SetEnabled(false);
  }
}

// ---- state changes ----

void fSHAREDInternet::Inet1_StateChanged(int state) {
  Failure failure = Failure::None;
  try {
    HandleState(state);
    DoEvents();
    return;
  } catch (const WriteFailed& e) {
    RecordTrapped(e, "inet1_StateChanged", kModule);
    failure = Failure::DownloadFailed;
  } catch (...) {
    RuntimeError e = CurrentError();
    failure = FailureOf(e.Number());
    if (failure == Failure::None) {
      RecordTrapped(e, "inet1_StateChanged", kModule);
      DoEvents();
      return;
    }
  }
  TrapToLog("inet1_StateChanged", kModule, [&] { inet_->Cancel(); });
  if (failure == Failure::RepeatWithoutSize) {
    bGetSize = false;
    TrapToLog("inet1_StateChanged", kModule, [&] { inet_->Execute(Trim(sUrl_), "GET"); });
    return;
  }
  TheSubs().NormalMouse();
  if (DownloadError)
    DownloadError(failure == Failure::TimedOut ? "Download timed out. Please try again."
                                               : "Download failed. Please try again.");
}

void fSHAREDInternet::HandleState(int state) {
  TimeoutTicks = 0;
  namespace st = inet::state;
  switch (state) {
    case st::ResolvingHost:
      SetProgressLabel("Resolving Host");
      RaiseStatus("Resolving host");
      break;
    case st::HostResolved:
      SetProgressLabel("Host Resolved");
      RaiseStatus("Resolved host");
      break;
    case st::Connecting:
      SetProgressLabel("Connecting");
      RaiseStatus("Connecting");
      break;
    case st::Connected:
      SetProgressLabel("Connected");
      RaiseStatus("Connected");
      break;
    case st::Requesting: SetProgressLabel("Requesting"); break;
    case st::RequestSent: SetProgressLabel("Request Sent"); break;
    case st::ReceivingResponse:
      SetProgressLabel("Receiving Response");
      if (Receiving) Receiving();
      break;
    case st::ResponseReceived:
      SetProgressLabel("Response Received");
      SizeCheck();
      break;
    case st::Disconnecting: SetProgressLabel("Disconnecting"); break;
    case st::Disconnected: SetProgressLabel("Disconnected"); break;
    case st::Error:
      SetProgressLabel("Error");
      ErrorHandling();
      break;
    case st::ResponseCompleted:
      SetProgressLabel("Response Completed");
      BodyReading();
      break;
    default:
      SetProgressLabel("Other response");
      if (SuppressAllButErrors || SuppressAllButDLAndErrors || !Status) break;
      if (expectedFilesize_ < 1)
        Status("Downloaded 0kb");
      else
        Status("File Size: " + TwoDecimals(expectedFilesize_ / 1024.0) +
               " kb.  Downloaded 0 kb (0%)");
      break;
  }
}

void fSHAREDInternet::SizeCheck() {
  if (expectedFilesize_ != 0) return;
  expectedFilesize_ = -1;
  if (!bGetSize) return;
  std::string length = inet_->GetHeader("Content-Length");
  if (length.empty()) return;
  expectedFilesize_ = LeadingNumber(length);
  SetProgressLabel("File size: " + std::to_string(expectedFilesize_));
}

void fSHAREDInternet::ErrorHandling() {
  TransferDone = true;
  std::string text = inet_->ResponseInfo();
  if (Status) Status(text);
  if (DownloadError) DownloadError(text);
  Timer1.SetEnabled(false);
  TheDelay().RegularDoEvents();
}

namespace {

// Whether a chunk has text: ByteArrayToString gives a non-empty text exactly when a
// byte other than a blank comes before the first zero byte (no conversion needed).
bool HasText(const std::vector<std::uint8_t>& chunk) {
  for (std::uint8_t b : chunk) {
    if (b == 0) return false;
    if (b != ' ') return true;
  }
  return false;
}

// Collects the body's chunks and writes them to the file a block at a time: writing
// every 1024-byte chunk on its own would cost a system call each.
class BlockWriter {
 public:
  BlockWriter(FileTable& files, int file) : files_(files), file_(file) { block_.reserve(kBlock); }
  void Add(const std::vector<std::uint8_t>& chunk) {
    block_.append(reinterpret_cast<const char*>(chunk.data()), chunk.size());
    if (block_.size() >= kBlock) Flush();
  }
  void Flush() {
    if (block_.empty()) return;
    if (auto error = Trapping([&] { files_.Write(file_, block_); })) throw WriteFailed(*error);
    block_.clear();
  }

 private:
  static constexpr std::size_t kBlock = 64 * 1024;
  FileTable& files_;
  int file_;
  std::string block_;
};

}  // namespace

void fSHAREDInternet::BodyReading() {
  if (expectedFilesize_ == 0) {
    // No response header was seen for this request: ask again without the size.
    bGetSize = false;
    inet_->Execute(Trim(sUrl_), "GET");
  }
  RaiseStatus("Downloading");
  ScopedFile file;
  if (WriteToFile) {
    if (auto error = Trapping([&] { file = ScopedFile(Filename, FileMode::BinaryWrite); }))
      throw WriteFailed(*error);
  }
  BlockWriter writer(TheFiles(), file.Number());
  double count = 0;
  long percent = 0;
  const bool reporting = !SuppressAllButErrors && !SuppressAllButDLAndErrors;
  std::vector<std::uint8_t> chunk;
  do {
    chunk = inet_->GetChunk(kChunkSize);
    TimeoutTicks = 0;
    if (WriteToFile) writer.Add(chunk);
    // The text of an OpenURL is the whole body; nothing of a file download is kept.
    if (!WriteToFile) receivedBytes_.append(chunk.begin(), chunk.end());
    if (chunk.size() >= 2) {
      if (!receivedAnyText_ && HasText(chunk)) receivedAnyText_ = true;
      count += 1024;  // a whole kilobyte per chunk, whatever its length
    }
    if (reporting) {
      if (expectedFilesize_ >= 1 && receivedAnyText_)
        percent = Rounded(count / expectedFilesize_ * 100);
      if (!ProgressDue()) continue;
      if (expectedFilesize_ >= 1) {
        if (bGetSize)
          RaiseProgress(std::to_string(Rounded(count / 1024)) + " kb of " +
                            std::to_string(Rounded(expectedFilesize_ / 1024.0)) + " kb (" +
                            std::to_string(percent) + "%)",
                        static_cast<float>(percent));
        else
          RaiseProgress(std::to_string(Rounded(count / 1024)) + " kb downloaded", 0);
      } else {
        RaiseProgress("Downloaded " + TwoDecimals(count / 1024) + "kb", 100);
      }
    }
  } while (!chunk.empty());
  writer.Flush();
  TransferDone = true;
  Timer1.SetEnabled(false);
  file.Close();
  if (Status) Status("Downloaded " + TwoDecimals(count / 1024) + " kb (100%)");
  if (DownloadFinished) DownloadFinished();
}

// A progress report goes out only when more than 0.25 s passed since the last one;
// the others are dropped (and their texts never made).
bool fSHAREDInternet::ProgressDue() {
  double now = ClockSeconds();
  if (now - LastProgressTime <= 0.25) return false;
  LastProgressTime = now;
  return true;
}

void fSHAREDInternet::RaiseProgress(const std::string& text, float value) {
  if (Status) Status(text);
  if (Progress) Progress(value, text);
}

// ---- text helpers ----

std::string fSHAREDInternet::TwoDecimals(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.2f", std::nearbyint(value * 100) / 100);
  std::string text = buffer;
  while (!text.empty() && text.back() == '0') text.pop_back();
  if (!text.empty() && text.back() == '.') text.pop_back();
  if (text == "-0") text = "0";
  return ReplaceAll(text, ".", LocaleDecimalSeparator());
}

std::string fSHAREDInternet::ByteArrayToString(const std::vector<std::uint8_t>& bytes) {
  std::string raw;
  for (std::uint8_t b : bytes) {
    if (b == 0) break;
    raw.push_back(static_cast<char>(b));
  }
  return Trim(AnsiToUtf8(raw));
}

}  // namespace twi
