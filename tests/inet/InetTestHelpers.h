#pragma once
// Helpers of the transfer-control tests: addresses on the fixture servers, the fixture's
// byte pattern, state recording and body reading.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/inet/InetControl.h"
#include "support/TestSupport.h"

namespace inettest {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

inline std::string HttpUrl(const std::string& path) {
  return "http://127.0.0.1:" + std::to_string(twitest::ServerPort("HTTP")) + path;
}

inline std::string FtpAddress() {
  return "FTP://127.0.0.1:" + std::to_string(twitest::ServerPort("FTP"));
}

// Windows path of a file in a server's folder (the servers run on the Unix side).
inline std::string ServerFile(const std::string& relative) {
  std::string path = "Z:" + twitest::EnvVar("TWI_SERVER_DIR") + "/" + relative;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

// On one of the fixture server's TLS ports (`portFile`: "https-trusted.port" or
// "https-untrusted.port").
inline std::string HttpsUrl(const std::string& portFile, const std::string& path) {
  std::string port = twitest::ReadFileBytes(ServerFile(portFile));
  while (!port.empty() && (port.back() == '\n' || port.back() == '\r')) port.pop_back();
  return "https://127.0.0.1:" + port + path;
}

// The fixture server's byte bodies: byte i is i % 251.
inline Bytes Pattern(std::size_t count) {
  Bytes bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(i % 251);
  return bytes;
}

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
