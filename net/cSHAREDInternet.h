#pragma once
// The download client: the object through which the program downloads. It owns
// one download engine, passes its status and progress on, and offers two
// blocking operations that keep the windows alive while they wait: GetFile (a
// URL into a file, true or false) and OpenURL (a URL's body as text). One
// transfer at a time: a transfer asked for while another runs on the same
// client is refused.
#include <functional>
#include <memory>
#include <string>

#include "net/ProxyTrouble.h"

namespace twi {

class fSHAREDInternet;

// How GetFile runs: whether it asks the size first (for the progress), which of
// the engine's messages it keeps to itself, and whether the engine's progress
// window is shown while the file arrives.
struct GetFileOptions {
  bool getSize = true;
  bool suppressAllButDLAndErrors = false;
  bool suppressAllButErrors = false;
  bool withProgressForm = false;
};

class cSHAREDInternet {
 public:
  cSHAREDInternet();
  ~cSHAREDInternet();
  cSHAREDInternet(const cSHAREDInternet&) = delete;
  cSHAREDInternet& operator=(const cSHAREDInternet&) = delete;

  void SetSuppressAllButDLAndErrors(bool value);
  void SetSuppressAllButErrors(bool value);
  // The engine's ApplyProxy (net/ProxyApply.cpp); every transfer applies it too.
  void ApplyProxy();
  void Cancel();
  // Downloads strUrl into filename. True only when the engine reported completion
  // without an error, a cancel or a missing transfer control; a failed transfer
  // leaves no file. An error trapped on the way is recorded and the work goes on.
  bool GetFile(const std::string& strUrl, const std::string& filename,
               const GetFileOptions& options = {});
  long ExpectedFilesize() const;
  std::string OpenURL(const std::string& url, bool showStatus = false);
  // The last OpenURL's reply: the body's bytes as sent, whether the transfer ended
  // without an error, and the server's answer code (404 for a missing file, 0 without
  // an answer).
  struct Reply {
    std::string bytes;
    bool finished = false;
    long responseCode = 0;
  };
  Reply LastReply() const;
  bool Connected();
  // Whether the last GetFile or OpenURL came to nothing because of the user's proxy
  // server (None after a cancel), and what the user is to be told of it.
  ProxyTrouble LastProxyTrouble() const { return lastProxyTrouble_; }
  std::string LastProxyTroubleText() const;
  // True while GetFile or OpenURL of this client waits for its transfer.
  bool InTransfer() const { return inTransfer_; }

  std::function<void(const std::string& message)> Status;
  std::function<void(float percent, const std::string& message)> Progress;
  std::function<void()> Receiving;
  std::function<void()> DownloadCancelled;

  fSHAREDInternet* Engine() { return fInet.get(); }

 private:
  void SubscribeToEngine();

  std::unique_ptr<fSHAREDInternet> fInet;
  bool bCancelled = false;
  bool bFinished = false;
  bool bFailed = false;
  bool bNoInternet = false;
  bool inTransfer_ = false;
  bool lastOpenFinished_ = false;
  ProxyTrouble lastProxyTrouble_ = ProxyTrouble::None;
};

}  // namespace twi
