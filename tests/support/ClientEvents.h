#pragma once
// A recorder of everything a download client and its engine report.
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/RuntimeError.h"
#include "net/cSHAREDInternet.h"
#include "net/fSHAREDInternet.h"

namespace twitest {

// Everything a client and its engine report, in order.
struct EventLog {
  std::vector<std::string> statuses;
  std::vector<std::pair<float, std::string>> progress;
  std::vector<std::string> errors;
  int cancelled = 0;
  int receiving = 0;
  int finished = 0;
  // Every event in order: "status:<text>", "progress:<value>:<text>", "receiving",
  // "cancelled", "error:<text>" (the engine's DownloadError), "finished" (the engine's
  // DownloadFinished).
  std::vector<std::string> sequence;
  // Called after each event is recorded, with its entry of `sequence`: a test acts here
  // as the program's own handlers would (cancel, or raise an error).
  std::function<void(const std::string& event)> OnEvent;

  EventLog() = default;
  EventLog(const EventLog&) = delete;
  EventLog& operator=(const EventLog&) = delete;
  // The client's and engine's handlers go back to what they were: a client that
  // outlives its recorder (its cancel at destruction raises events) reports to nobody.
  ~EventLog() {
    if (!client_) return;
    client_->Status = nullptr;
    client_->Progress = nullptr;
    client_->DownloadCancelled = nullptr;
    client_->Receiving = nullptr;
    if (auto* engine = client_->Engine()) {
      engine->DownloadError = originalError_;
      engine->DownloadFinished = originalFinished_;
    }
  }

  // Once per client: the engine's handlers are wrapped, not replaced.
  void Attach(twi::cSHAREDInternet& client) {
    client_ = &client;
    client.Status = [this](const std::string& m) {
      statuses.push_back(m);
      Record("status:" + m);
    };
    client.Progress = [this](float p, const std::string& m) {
      progress.emplace_back(p, m);
      char value[32];
      std::snprintf(value, sizeof value, "%g", p);
      Record("progress:" + std::string(value) + ":" + m);
    };
    client.DownloadCancelled = [this] {
      ++cancelled;
      Record("cancelled");
    };
    client.Receiving = [this] {
      ++receiving;
      Record("receiving");
    };
    // The client keeps the engine's end events to itself; listen in beside it.
    auto* engine = client.Engine();
    originalError_ = engine->DownloadError;
    engine->DownloadError = [this](const std::string& m) {
      errors.push_back(m);
      if (originalError_) originalError_(m);
      Record("error:" + m);
    };
    originalFinished_ = engine->DownloadFinished;
    engine->DownloadFinished = [this] {
      ++finished;
      if (originalFinished_) originalFinished_();
      Record("finished");
    };
  }
  // Forgets what was recorded (and the OnEvent action); stays attached.
  void Clear() {
    statuses.clear();
    progress.clear();
    errors.clear();
    sequence.clear();
    cancelled = receiving = finished = 0;
    OnEvent = nullptr;
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
  // The entries of `sequence` from the first `event` on (all of them when absent).
  std::vector<std::string> After(const std::string& event) const {
    for (std::size_t i = 0; i < sequence.size(); ++i)
      if (sequence[i] == event) return {sequence.begin() + static_cast<std::ptrdiff_t>(i) + 1, sequence.end()};
    return sequence;
  }

 private:
  twi::cSHAREDInternet* client_ = nullptr;
  std::function<void(const std::string&)> originalError_;
  std::function<void()> originalFinished_;

  void Record(std::string event) {
    sequence.push_back(event);
    if (OnEvent) OnEvent(event);
  }
};

// An OnEvent that raises `error` the first time an event starts with `prefix`, as a
// program's handler that fails would.
inline std::function<void(const std::string&)> RaiseOnce(std::string prefix, twi::RuntimeError error) {
  auto raised = std::make_shared<bool>(false);
  return [prefix = std::move(prefix), error = std::move(error), raised](const std::string& event) {
    if (*raised || event.rfind(prefix, 0) != 0) return;
    *raised = true;
    throw error;
  };
}

}  // namespace twitest
