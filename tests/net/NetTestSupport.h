#pragma once
// Helpers of the download engine and client tests: addresses on the test
// servers, their folders, and a recorder of a client's events.
#include <string>
#include <vector>

#include "net/cSHAREDInternet.h"
#include "net/fSHAREDInternet.h"
#include "support/TestSupport.h"

namespace nettest {

inline std::string Http(const std::string& path) {
  return "http://127.0.0.1:" + std::to_string(twitest::ServerPort("HTTP")) + path;
}

inline std::string FtpHostAndPort() {
  return "127.0.0.1:" + std::to_string(twitest::ServerPort("FTP"));
}

// Folder served under /files/ by the HTTP server, and the FTP server's root.
inline std::string HttpRoot() {
  return twitest::WindowsPathOf(twitest::EnvVar("TWI_SERVER_DIR")) + "\\http-root";
}
inline std::string FtpRoot() {
  return twitest::WindowsPathOf(twitest::EnvVar("TWI_SERVER_DIR")) + "\\ftp-root";
}

// The fixture server's byte pattern: byte i is i % 251.
inline std::string PatternBytes(size_t count) {
  std::string bytes(count, '\0');
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>(i % 251);
  return bytes;
}

// Everything a client and its engine report, in order.
struct EventLog {
  std::vector<std::string> statuses;
  std::vector<std::pair<float, std::string>> progress;
  std::vector<std::string> errors;
  int cancelled = 0;

  void Attach(twi::cSHAREDInternet& client) {
    client.Status = [this](const std::string& m) { statuses.push_back(m); };
    client.Progress = [this](float p, const std::string& m) { progress.emplace_back(p, m); };
    client.DownloadCancelled = [this] { ++cancelled; };
    // The client keeps the engine's error text to itself; listen in beside it.
    auto* engine = client.Engine();
    auto original = engine->DownloadError;
    engine->DownloadError = [this, original](const std::string& m) {
      errors.push_back(m);
      if (original) original(m);
    };
  }
  bool SawStatus(const std::string& text) const {
    for (const auto& s : statuses)
      if (s == text) return true;
    return false;
  }
  bool SawProgress(const std::string& text) const {
    for (const auto& p : progress)
      if (p.second == text) return true;
    return false;
  }
};

}  // namespace nettest
