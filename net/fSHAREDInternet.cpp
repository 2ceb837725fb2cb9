#include "net/fSHAREDInternet.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>

#include "base/Clock.h"
#include "base/DoEvents.h"
#include "base/RuntimeError.h"
#include "base/TextConv.h"
#include "base/Trap.h"
#include "diag/TrapToLog.h"
#include "diag/cSharedLogging.h"
#include "net/BlockWriter.h"
#include "platform/inet/InetControl.h"
#include "settings/Variant.h"
#include "sys/cSHAREDDelay.h"
#include "sys/cSHAREDSubs.h"
#include "sys/cSharedFileSubs.h"

namespace twi {
namespace {

constexpr const char* kModule = "fSHAREDInternet";
constexpr const char* kStateRoutine = "inet1_StateChanged";
constexpr short kQuietTicksAllowed = 60;
constexpr std::size_t kChunkSize = 1024;

// Whole-number rounding as the progress texts use it (halves to even).
long Rounded(double value) { return static_cast<long>(std::nearbyint(value)); }

// The leading number of a header value ("1500", " 1500 ", "1500abc"), rounded to a
// whole number. ExpectedFilesize is a 32-bit number: a value that does not fit is an
// overflow (error 6), not whatever a conversion would make of it.
long SizeFromHeader(const std::string& text) {
  std::string digits = Trim(text);
  char* end = nullptr;
  double value = std::strtod(digits.c_str(), &end);
  if (end == digits.c_str()) return 0;
  double rounded = std::nearbyint(value);
  if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
        rounded <= std::numeric_limits<std::int32_t>::max()))
    throw RuntimeError::Numbered(err::Overflow);
  return static_cast<long>(rounded);
}

// Whether a chunk has text: ByteArrayToString gives a non-empty text exactly when a
// byte other than a blank comes before the first zero byte (no conversion needed).
bool HasText(const std::vector<std::uint8_t>& chunk) {
  for (std::uint8_t b : chunk) {
    if (b == 0) return false;
    if (b != ' ') return true;
  }
  return false;
}

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

// CD, GET and CLOSE in turn, each returning when its operation has ended. A cancel
// (the Stop button, while an operation waits) ends the script: no further operation
// starts, and there is no DownloadFinished.
void fSHAREDInternet::RunFtpScript() {
  FtpAddress ftp = ParseFtpAddress(sUrl_);
  if (ftp.host.empty()) {
    if (DownloadError) DownloadError("No address specified");
    return;
  }
  const std::string address = "FTP://" + ftp.host;
  const unsigned cancelsBefore = cancels_;
  auto cancelled = [&] { return cancels_ != cancelsBefore; };
  TrapToLog("DownloadFile", kModule, [&] { inet_->Execute(address, "CD " + ftp.folder); });
  if (cancelled()) return;
  TrapToLog("DownloadFile", kModule,
            [&] { inet_->Execute(address, "GET " + ftp.file + " " + Filename); });
  if (cancelled()) return;
  TrapToLog("DownloadFile", kModule, [&] { inet_->Execute(address, "CLOSE"); });
  if (cancelled()) return;
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
  receivedAnyText_ = false;  // ReceivedText = "": only here
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

ProxyTrouble fSHAREDInternet::ProxyTroubleOf(bool failed) const {
  if (!inet_ || inet_->AccessType() != inet::kAccessNamedProxy) return ProxyTrouble::None;
  const long code = inet_->ResponseCode();
  if (code == 407 || (code == 401 && !inet_->UserName().empty())) return ProxyTrouble::Refused;
  if (failed && code == 0) return ProxyTrouble::Unreachable;
  return ProxyTrouble::None;
}

std::string fSHAREDInternet::ProxyServer() const { return inet_ ? inet_->Proxy() : ""; }

long fSHAREDInternet::ResponseCode() const { return inet_ ? inet_->ResponseCode() : 0; }

std::string fSHAREDInternet::ReceivedText() const {
  std::vector<std::uint8_t> bytes(receivedBytes_.begin(), receivedBytes_.end());
  return ByteArrayToString(bytes);
}

void fSHAREDInternet::Cancel() {
  ++cancels_;
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

// The control's errors that the state handling tells apart.
fSHAREDInternet::Failure fSHAREDInternet::FailureOf(long number) {
  if (number == inet::kErrStillExecuting || number == inet::kErrTransferFailed)
    return Failure::DownloadFailed;
  if (number == inet::kErrTimedOut) return Failure::TimedOut;
  if (number == inet::kErrRetryWithoutSize) return Failure::RepeatWithoutSize;
  return Failure::None;
}

// A statement of the state handling. The control's errors that the handling tells apart
// (the transfer failed, timed out, or is to be repeated without the size) leave the
// handling through the failure handling; any other error is recorded under
// "inet1_StateChanged" and the handling goes on with its next statement.
template <class Statement>
void fSHAREDInternet::Step(Statement&& statement) {
  std::optional<RuntimeError> error = Trapping(std::forward<Statement>(statement));
  if (!error) return;
  if (FailureOf(error->Number()) != Failure::None) throw *error;
  RecordTrapped(*error, kStateRoutine, kModule);
}

void fSHAREDInternet::Inet1_StateChanged(int state) {
  Failure failure = Failure::None;
  // Only the errors that Step lets through arrive here.
  if (std::optional<RuntimeError> error = Trapping([&] { failure = HandleState(state); })) {
    failure = FailureOf(error->Number());
    if (failure == Failure::None) RecordTrapped(*error, kStateRoutine, kModule);
  }
  if (failure == Failure::None) {
    DoEvents();
    return;
  }
  LeaveWith(failure);
}

void fSHAREDInternet::LeaveWith(Failure failure) {
  TrapToLog(kStateRoutine, kModule, [&] { inet_->Cancel(); });
  if (failure == Failure::RepeatWithoutSize) {
    bGetSize = false;
    TrapToLog(kStateRoutine, kModule, [&] { inet_->Execute(Trim(sUrl_), "GET"); });
    return;
  }
  TheSubs().NormalMouse();
  if (DownloadError)
    DownloadError(failure == Failure::TimedOut ? "Download timed out. Please try again."
                                               : "Download failed. Please try again.");
}

fSHAREDInternet::Failure fSHAREDInternet::HandleState(int state) {
  TimeoutTicks = 0;
  namespace st = inet::state;
  switch (state) {
    case st::ResolvingHost:
      Step([&] { SetProgressLabel("Resolving Host"); });
      Step([&] { RaiseStatus("Resolving host"); });
      break;
    case st::HostResolved:
      Step([&] { SetProgressLabel("Host Resolved"); });
      Step([&] { RaiseStatus("Resolved host"); });
      break;
    case st::Connecting:
      Step([&] { SetProgressLabel("Connecting"); });
      Step([&] { RaiseStatus("Connecting"); });
      break;
    case st::Connected:
      Step([&] { SetProgressLabel("Connected"); });
      Step([&] { RaiseStatus("Connected"); });
      break;
    case st::Requesting: Step([&] { SetProgressLabel("Requesting"); }); break;
    case st::RequestSent: Step([&] { SetProgressLabel("Request Sent"); }); break;
    case st::ReceivingResponse:
      Step([&] { SetProgressLabel("Receiving Response"); });
      Step([&] {
        if (Receiving) Receiving();
      });
      break;
    case st::ResponseReceived:
      Step([&] { SetProgressLabel("Response Received"); });
      SizeCheck();
      break;
    case st::Disconnecting: Step([&] { SetProgressLabel("Disconnecting"); }); break;
    case st::Disconnected: Step([&] { SetProgressLabel("Disconnected"); }); break;
    case st::Error:
      Step([&] { SetProgressLabel("Error"); });
      ErrorHandling();
      break;
    case st::ResponseCompleted:
      Step([&] { SetProgressLabel("Response Completed"); });
      return BodyReading();
    default:
      Step([&] { SetProgressLabel("Other response"); });
      if (SuppressAllButErrors || SuppressAllButDLAndErrors || !Status) break;
      if (expectedFilesize_ < 1)
        Step([&] { Status("Downloaded 0kb"); });
      else
        Step([&] {
          Status("File Size: " + TwoDecimals(expectedFilesize_ / 1024.0) +
                 " kb.  Downloaded 0 kb (0%)");
        });
      break;
  }
  return Failure::None;
}

void fSHAREDInternet::SizeCheck() {
  if (expectedFilesize_ != 0) return;
  expectedFilesize_ = -1;
  if (!bGetSize) return;
  std::string length;
  Step([&] { length = inet_->GetHeader("Content-Length"); });
  if (length.empty()) return;
  Step([&] { expectedFilesize_ = SizeFromHeader(length); });
  Step([&] { SetProgressLabel("File size: " + std::to_string(expectedFilesize_)); });
}

void fSHAREDInternet::ErrorHandling() {
  TransferDone = true;
  std::string text;
  Step([&] { text = inet_->ResponseInfo(); });
  Step([&] {
    if (Status) Status(text);
  });
  Step([&] {
    if (DownloadError) DownloadError(text);
  });
  Step([&] { Timer1.SetEnabled(false); });
  Step([&] { TheDelay().RegularDoEvents(); });
}

fSHAREDInternet::Failure fSHAREDInternet::BodyReading() {
  if (expectedFilesize_ == 0) {
    // No "response received" was seen for this request: it is issued again without the
    // size, and the new request's own states read its body. (Reading on here would
    // read the body of a request that has not answered yet.)
    bGetSize = false;
    Step([&] { inet_->Cancel(); });
    Step([&] { inet_->Execute(Trim(sUrl_), "GET"); });
    return Failure::None;
  }
  Step([&] { RaiseStatus("Downloading"); });
  std::optional<BlockWriter> writer;
  if (WriteToFile) {
    if (auto error = Trapping([&] { writer.emplace(Filename); })) {
      RecordTrapped(*error, kStateRoutine, kModule);
      return Failure::DownloadFailed;
    }
  }
  double count = 0;
  long percent = 0;
  std::vector<std::uint8_t> chunk;
  do {
    // A body that cannot be read on ends the download: going on would leave a file that
    // looks complete. The control's own failures leave through the failure handling.
    if (auto error = Trapping([&] { inet_->GetChunk(kChunkSize, chunk); })) {
      if (FailureOf(error->Number()) != Failure::None) throw *error;
      RecordTrapped(*error, kStateRoutine, kModule);
      return Failure::DownloadFailed;
    }
    TimeoutTicks = 0;
    if (writer) {
      // A file that cannot be written ends the download as a failed one.
      if (auto error = Trapping([&] { writer->Add(chunk); })) {
        RecordTrapped(*error, kStateRoutine, kModule);
        return Failure::DownloadFailed;
      }
    } else if (!WriteToFile) {
      // The text of an OpenURL is the whole body; nothing of a file download is kept.
      receivedBytes_.append(chunk.begin(), chunk.end());
      if (receivedBytes_.size() > kTextReplyLimit) return TextReplyTooLong();
    }
    if (chunk.size() >= 2) {
      if (!receivedAnyText_ && HasText(chunk)) receivedAnyText_ = true;
      count += 1024;  // a whole kilobyte per chunk, whatever its length
    }
    if (!SuppressAllButErrors && !SuppressAllButDLAndErrors)
      Step([&] { ReportProgress(count, percent); });
  } while (!chunk.empty());
  if (writer) {
    if (auto error = Trapping([&] { writer->Close(); })) {
      RecordTrapped(*error, kStateRoutine, kModule);
      return Failure::DownloadFailed;
    }
  }
  TransferDone = true;
  Step([&] { Timer1.SetEnabled(false); });
  Step([&] {
    if (Status) Status("Downloaded " + TwoDecimals(count / 1024) + " kb (100%)");
  });
  Step([&] {
    if (DownloadFinished) DownloadFinished();
  });
  return Failure::None;
}

// A text reply is a version file or a page of release details: a few kilobytes. One
// that goes past the limit (a server that sends without end) is stopped, and the fetch
// counts as failed with an empty reply, instead of filling the memory.
fSHAREDInternet::Failure fSHAREDInternet::TextReplyTooLong() {
  TheLog().AddAction("Reply of " + sUrl_ + " longer than " + std::to_string(kTextReplyLimit) +
                         " bytes: transfer stopped, reply dropped",
                     "OpenURL", kModule);
  receivedBytes_.clear();
  receivedBytes_.shrink_to_fit();
  TransferDone = true;
  Step([&] { Timer1.SetEnabled(false); });
  return Failure::DownloadFailed;
}

void fSHAREDInternet::ReportProgress(double count, long& percent) {
  if (expectedFilesize_ >= 1) {
    if (receivedAnyText_) percent = Rounded(count / expectedFilesize_ * 100);
    if (!ProgressDue()) return;
    if (bGetSize)
      RaiseProgress(std::to_string(Rounded(count / 1024)) + " kb of " +
                        std::to_string(Rounded(expectedFilesize_ / 1024.0)) + " kb (" +
                        std::to_string(percent) + "%)",
                    static_cast<float>(percent));
    else
      RaiseProgress(std::to_string(Rounded(count / 1024)) + " kb downloaded", 0);
  } else {
    if (!ProgressDue()) return;
    RaiseProgress("Downloaded " + TwoDecimals(count / 1024) + "kb", 100);
  }
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
