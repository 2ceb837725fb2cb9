#include "net/cSHAREDInternet.h"

#include "base/Trap.h"
#include "diag/RoutineSteps.h"
#include "diag/cSharedLogging.h"
#include "net/fSHAREDInternet.h"
#include "sys/cSHAREDDelay.h"
#include "sys/cSharedFileSubs.h"

namespace twi {
namespace {

constexpr const char* kModule = "cSHAREDInternet";

// Marks the client busy for the length of one blocking transfer.
class TransferScope {
 public:
  explicit TransferScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~TransferScope() { flag_ = false; }

 private:
  bool& flag_;
};

}  // namespace

cSHAREDInternet::cSHAREDInternet() {
  // Not reported when it fails: every transfer of this client then fails.
  Ignoring([&] {
    fInet = std::make_unique<fSHAREDInternet>();
    fInet->Load();
    SubscribeToEngine();
  });
}

cSHAREDInternet::~cSHAREDInternet() {
  if (!fInet) return;
  Ignoring([&] { fInet->Cancel(); });
  Ignoring([&] { fInet->Unload(); });
}

void cSHAREDInternet::SubscribeToEngine() {
  fSHAREDInternet& engine = *fInet;
  engine.Status = [this](const std::string& message) {
    if (Status) Status(message);
  };
  engine.Progress = [this](float percent, const std::string& message) {
    if (Progress) Progress(percent, message);
  };
  engine.Receiving = [this] {
    if (Receiving) Receiving();
  };
  engine.DownloadFinished = [this] {
    fInet->Hide();
    bFinished = true;
  };
  engine.DownloadError = [this](const std::string&) {
    fInet->Hide();
    bFailed = true;
  };
  engine.DownloadCancelled = [this] {
    bCancelled = true;
    if (DownloadCancelled) DownloadCancelled();
    fInet->Hide();
  };
  engine.NoInternet = [this] { bNoInternet = true; };
}

void cSHAREDInternet::SetSuppressAllButDLAndErrors(bool value) {
  if (fInet) fInet->SuppressAllButDLAndErrors = value;
}

void cSHAREDInternet::SetSuppressAllButErrors(bool value) {
  if (fInet) fInet->SuppressAllButErrors = value;
}

void cSHAREDInternet::Cancel() {
  if (fInet) Ignoring([&] { fInet->Cancel(); });
  bCancelled = true;
}

long cSHAREDInternet::ExpectedFilesize() const { return fInet ? fInet->ExpectedFilesize() : 0; }

bool cSHAREDInternet::Connected() { return fInet && fInet->Connected(); }

bool cSHAREDInternet::GetFile(const std::string& strUrl, const std::string& filename,
                              const GetFileOptions& options) {
  if (inTransfer_) {
    TheLog().AddAction("Transfer refused while another runs (" + strUrl + ")", "GetFile", kModule);
    return false;
  }
  if (!fInet) return false;
  TransferScope scope(inTransfer_);
  // Each step that may fail is trapped on its own: its error is recorded and the work
  // goes on with the next step. The result is true only when the engine reported the
  // end of the download, and no error, cancel or missing control.
  RoutineSteps step({.routine = "GetFile", .module = kModule, .style = ErrorStyle::Tight});
  step([&] { fInet->SuppressAllButDLAndErrors = options.suppressAllButDLAndErrors; });
  step([&] { fInet->SuppressAllButErrors = options.suppressAllButErrors; });
  step([&] {
    if (fInet->Connected()) fInet->Cancel();
  });
  bCancelled = bFailed = bFinished = bNoInternet = false;
  step([&] { fInet->DownloadFile(strUrl, filename, options.getSize); });
  if (options.withProgressForm)
    step([&] {
      if (!bFinished && !bFailed && !bCancelled) fInet->Show(true);
    });
  // The engine's time-out clock runs as long as its transfer does: a transfer that
  // never started (or ended without a word) does not hold the wait for ever.
  auto transferRuns = [&] { return fInet->Timer1.Enabled(); };
  do {
    step([&] { TheDelay().Sleep(150); });
    step([&] { TheDelay().RegularDoEvents(); });
    if (bFailed) break;
  } while (!bFinished && !bCancelled && transferRuns());
  const bool ended = bFinished && !bFailed && !bCancelled && !bNoInternet;
  lastProxyTrouble_ = bCancelled ? ProxyTrouble::None : fInet->ProxyTroubleOf(!ended);
  // A proxy's refusal page is not the file asked for.
  if (ended && lastProxyTrouble_ == ProxyTrouble::None) return true;
  TheFileSubs().EraseFile(filename);
  return false;
}

std::string cSHAREDInternet::LastProxyTroubleText() const {
  return fInet ? ProxyTroubleText(lastProxyTrouble_, fInet->ProxyServer()) : "";
}

std::string cSHAREDInternet::OpenURL(const std::string& url, bool showStatus) {
  if (inTransfer_) {
    TheLog().AddAction("Transfer refused while another runs (" + url + ")", "OpenURL", kModule);
    return "";
  }
  lastOpenFinished_ = false;
  if (!fInet) return "";
  TransferScope scope(inTransfer_);
  bCancelled = bFailed = bFinished = bNoInternet = false;
  std::string text;
  Ignoring([&] { text = fInet->OpenURL(url, showStatus); });
  const bool failed = bFailed || bNoInternet || !bFinished;
  lastOpenFinished_ = !failed && !bCancelled;
  lastProxyTrouble_ = bCancelled ? ProxyTrouble::None : fInet->ProxyTroubleOf(failed);
  return text;
}

cSHAREDInternet::Reply cSHAREDInternet::LastReply() const {
  if (!fInet) return {};
  return {fInet->ReceivedBytes(), lastOpenFinished_, fInet->ResponseCode()};
}

}  // namespace twi
