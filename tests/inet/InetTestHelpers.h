#pragma once
// Helpers of the transfer-control tests: state recording and body reading.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/inet/InetControl.h"
#include "support/TestServers.h"

namespace inettest {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

using twitest::FtpAddress;
using twitest::HttpsUrl;
using twitest::HttpUrl;
using twitest::Pattern;
using twitest::ServerFile;

inline std::string AsText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// Records every state the control raises.
struct StateLog {
  explicit StateLog(twi::inet::InetControl& control) {
    control.StateChanged = [this](int state) { states.push_back(state); };
  }
  bool Has(int state) const {
    for (int s : states)
      if (s == state) return true;
    return false;
  }
  // Pumps messages until `state` has been raised (false after `timeout`).
  ::testing::AssertionResult WaitFor(int state, std::chrono::milliseconds timeout = 10s) const {
    if (twitest::PumpUntil([&] { return Has(state); }, timeout))
      return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "no state " << state << "; states: " << ::testing::PrintToString(states);
  }
  std::vector<int> states;
};

// Reads the body as the download engine does (1024-byte chunks until an empty one),
// checking that no chunk is larger than asked for and that only the last is shorter.
inline Bytes ReadBody(twi::inet::InetControl& control) {
  Bytes body;
  bool hadShortChunk = false;
  for (;;) {
    Bytes chunk = control.GetChunk(1024);
    if (chunk.empty()) break;
    EXPECT_LE(chunk.size(), 1024u);
    EXPECT_FALSE(hadShortChunk) << "a chunk shorter than 1024 bytes before the end, at " << body.size();
    hadShortChunk = chunk.size() < 1024;
    body.insert(body.end(), chunk.begin(), chunk.end());
  }
  return body;
}

inline double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

const std::vector<int> kHttpSuccessStates = {1, 2, 3, 4, 5, 6, 7, 8, 12};

}  // namespace inettest
