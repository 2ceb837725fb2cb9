#pragma once
// A download client with every event recorded and a scratch folder for its files, for
// the tests of the download engine and client against the test servers.
#include <gtest/gtest.h>

#include <string>

#include "base/Clock.h"
#include "net/cSHAREDInternet.h"
#include "support/ClientEvents.h"
#include "support/TestServers.h"
#include "support/TestSupport.h"
#include "ui/Timer.h"

namespace twitest {

// A Stop button that a user presses once, `milliseconds` after Press: it cancels the
// client's transfer (while the transfer's waits run window messages).
class StopButton {
 public:
  explicit StopButton(twi::cSHAREDInternet& client) : client_(client) {
    timer_.OnTimer = [this] {
      timer_.SetEnabled(false);
      pressedAt_ = twi::ClockSeconds();
      client_.Cancel();
    };
  }
  void PressAfter(unsigned milliseconds) {
    timer_.SetInterval(milliseconds);
    timer_.SetEnabled(true);
  }
  bool Pressed() const { return pressedAt_ > 0; }
  double PressedAt() const { return pressedAt_; }

 private:
  twi::cSHAREDInternet& client_;
  ui::Timer timer_;
  double pressedAt_ = 0;
};

class DownloadTest : public ::testing::Test {
 protected:
  ScratchFolder dir;
  twi::cSHAREDInternet client;
  EventLog events;
  void SetUp() override { events.Attach(client); }
  std::string Target() { return dir.File("download.bin"); }
  bool Get(const std::string& url, bool getSize = true) {
    return client.GetFile(url, Target(), {.getSize = getSize});
  }
  // Records the events of the next transfers afresh.
  void ResetEvents() { events.Clear(); }
};

}  // namespace twitest
