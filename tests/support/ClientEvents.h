#pragma once
// A recorder of everything a download client and its engine report.
#include <string>
#include <utility>
#include <vector>

#include "net/cSHAREDInternet.h"
#include "net/fSHAREDInternet.h"

namespace twitest {

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

}  // namespace twitest
