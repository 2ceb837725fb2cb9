#include "net/cSHAREDInternet.h"

#include "base/Trap.h"
#include "diag/TrapToLog.h"
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

bool cSHAREDInternet::GetFile(const std::string& strUrl, const std::string& filename, bool getSize,
                              bool suppressAllButDLAndErrors, bool suppressAllButErrors,
                              bool withProgressForm) {
  if (inTransfer_) {
    TheLog().AddAction("Transfer refused while another runs (" + strUrl + ")", "GetFile", kModule);
    return false;
  }
  if (!fInet) return false;
  TransferScope scope(inTransfer_);
  TrapToLog(
      "GetFile", kModule,
      [&] {
        fInet->SuppressAllButDLAndErrors = suppressAllButDLAndErrors;
        fInet->SuppressAllButErrors = suppressAllButErrors;
        if (fInet->Connected()) fInet->Cancel();
        bCancelled = bFailed = bFinished = bNoInternet = false;
        fInet->DownloadFile(strUrl, filename, getSize);
        if (withProgressForm && !bFinished && !bFailed && !bCancelled) fInet->Show(true);
        do {
          TheDelay().Sleep(150);
          TheDelay().RegularDoEvents();
          if (bFailed) break;
        } while (!bFinished && !bCancelled);
      },
      ErrorStyle::Tight);
  // An engine without its transfer control reports completion without a file.
  if (!bFailed && !bCancelled && !bNoInternet) return true;
  TheFileSubs().EraseFile(filename);
  return false;
}

std::string cSHAREDInternet::OpenURL(const std::string& url, bool showStatus) {
  if (inTransfer_) {
    TheLog().AddAction("Transfer refused while another runs (" + url + ")", "OpenURL", kModule);
    return "";
  }
  if (!fInet) return "";
  TransferScope scope(inTransfer_);
  bCancelled = false;
  std::string text;
  Ignoring([&] { text = fInet->OpenURL(url, showStatus); });
  return text;
}

}  // namespace twi
