#pragma once
// The download engine: a window that hosts the transfer control and turns its
// state changes into events, a text result and a file on disk. One transfer at
// a time: a URL into a file (DownloadFile, HTTP or a scripted FTP sequence) or
// into memory as text (OpenURL). Bodies are read in 1024-byte chunks with
// progress in kilobytes and percent; a one-second timer gives up after more than
// 60 quiet ticks. Only its download client drives it.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/ProxyTrouble.h"
#include "ui/Button.h"
#include "ui/Form.h"
#include "ui/Frame.h"
#include "ui/Label.h"
#include "ui/Timer.h"

namespace twi {

namespace inet {
class InetControl;
}

class fSHAREDInternet : public ui::Form {
 public:
  fSHAREDInternet();
  ~fSHAREDInternet() override;

  // Starts fetching `sUrl` into `filename` and returns; the end is signalled by
  // DownloadFinished, DownloadError or DownloadCancelled.
  void DownloadFile(const std::string& sUrl, const std::string& filename, bool bGetSize);
  // Fetches `sUrl` and returns its body as text (cut at its first zero byte and
  // trimmed of blanks), pumping window events while it waits. A reply longer than
  // kTextReplyLimit bytes is not a text this program reads: the transfer is stopped
  // and the reply is empty.
  static constexpr std::size_t kTextReplyLimit = 1024 * 1024;
  std::string OpenURL(const std::string& sUrl, bool showStatus = false);
  void Cancel();
  bool Connected();
  long ExpectedFilesize() const { return expectedFilesize_; }

  // Proxy (net/ProxyApply.cpp): the stored proxy choice, applied to the
  // transfer control before every transfer; the stored user and password.
  void ApplyProxy();
  std::string ProxyUser();
  std::string ProxyPassword();

  bool SuppressAllButDLAndErrors = false;
  bool SuppressAllButErrors = false;
  // Set when the transfer control cannot be created; every later transfer then
  // ends at once.
  bool ControlMissing = false;

  // Events.
  std::function<void(const std::string& message)> Status;
  std::function<void(float percent, const std::string& message)> Progress;
  std::function<void()> DownloadFinished;
  std::function<void()> DownloadCancelled;
  std::function<void(const std::string& message)> DownloadError;
  std::function<void()> Receiving;
  std::function<void()> NoInternet;

  // Test support: the time-out counts ticks of `tickMilliseconds` (1000 in the
  // program) and file downloads give the control `requestTimeoutSeconds` (60 in
  // the program), so time-out tests need not wait a minute.
  void SetTimingForTests(unsigned tickMilliseconds, int requestTimeoutSeconds);
  // Test support: handles `state` as if the transfer control had raised it.
  void StateChangedForTests(int state) { Inet1_StateChanged(state); }
  // The transfer control (null when it could not be created).
  inet::InetControl* Control() { return inet_.get(); }
  // Whether the last transfer came to nothing because of the named proxy server: it
  // refused the credentials (407, or tinyproxy's 401 to wrong ones), or, for a transfer
  // that `failed` without any response, could not be reached.
  ProxyTrouble ProxyTroubleOf(bool failed) const;
  std::string ProxyServer() const;
  // The body of the last OpenURL as the server sent it (a signature covers these bytes,
  // not the text made of them), and the server's answer code (0 without one).
  const std::string& ReceivedBytes() const { return receivedBytes_; }
  long ResponseCode() const;

  // Numbers as the texts show them: two decimals at most, trailing zeros
  // dropped, the locale's decimal separator ("0.5", "2", "13").
  static std::string TwoDecimals(double value);
  // Where an FTP address points: host, folder (with its trailing "/") and file.
  // "ftp://host/pub/f.zip" and "ftp.host/pub/f.zip" alike; backslashes count as "/".
  struct FtpAddress {
    std::string host, folder, file;
  };
  static FtpAddress ParseFtpAddress(const std::string& url);
  // A chunk as text: its bytes up to the first zero byte, in the ANSI code page,
  // without leading and trailing blanks.
  static std::string ByteArrayToString(const std::vector<std::uint8_t>& bytes);

  ui::Timer Timer1;
  ui::Button cmdStop;
  ui::Frame Frame1;
  ui::Label lblFile;
  ui::Label lblProgress;

 protected:
  void CreateControls() override;
  void Form_Load() override;

 private:
  // How a state handling ends: normally, or leaving through the failure handling.
  enum class Failure { None, DownloadFailed, TimedOut, RepeatWithoutSize };
  static Failure FailureOf(long number);
  void Inet1_StateChanged(int state);
  Failure HandleState(int state);
  void LeaveWith(Failure failure);
  // Runs one statement of the state handling (see the .cpp).
  template <class Statement>
  void Step(Statement&& statement);
  void SizeCheck();
  void ErrorHandling();
  Failure BodyReading();
  Failure TextReplyTooLong();
  void ReportProgress(double count, long& percent);
  bool ProgressDue();
  void RaiseProgress(const std::string& text, float value);
  void RaiseStatus(const std::string& text);  // unless SuppressAllButErrors
  void RunFtpScript();
  void Timer1_Timer();
  std::string ReceivedText() const;
  void SetProgressLabel(const std::string& text);

  std::unique_ptr<inet::InetControl> inet_;
  long expectedFilesize_ = 0;
  std::string receivedBytes_;  // body of an OpenURL, for its text
  // Whether ReceivedText would hold anything: some chunk since the last OpenURL had text.
  bool receivedAnyText_ = false;
  unsigned cancels_ = 0;  // Cancel calls so far: an FTP script stops after one
  bool TransferDone = false;
  bool WriteToFile = false;
  bool bGetSize = false;
  std::string Filename;
  short TimeoutTicks = 0;
  std::string sUrl_;
  double LastProgressTime = 0;
  unsigned tickMilliseconds_ = 1000;
  int requestTimeoutSeconds_ = 60;
};

}  // namespace twi
