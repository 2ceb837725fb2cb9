// Rules of the download engine that only show in the order and spacing of its events:
// progress spacing, the texts of an unknown state, the request issued again without
// the size, a response completed without a response received, and the order of the
// cancel events.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/Clock.h"
#include "base/RuntimeError.h"
#include "platform/inet/InetControl.h"
#include "support/DownloadFixture.h"

namespace {

using twitest::HttpUrl;
using twi::RuntimeError;

using EngineRule = twitest::DownloadTest;

std::size_t Count(const std::vector<std::string>& items, const std::string& item) {
  return static_cast<std::size_t>(std::count(items.begin(), items.end(), item));
}

// A progress report within 0.25 s of the last one is dropped: a body of 16 chunks that
// arrive 0.1 s apart gives about six reports, each more than 0.25 s after the one before.
TEST_F(EngineRule, ProgressReportsComeAtMostOncePerQuarterSecond) {
  std::vector<double> times;
  events.OnEvent = [&](const std::string& event) {
    if (event.rfind("progress:", 0) == 0) times.push_back(twi::ClockSeconds());
  };
  ASSERT_TRUE(Get(HttpUrl("/paced/16384/1024/0.1")));
  events.OnEvent = nullptr;
  std::string seen;
  for (const auto& p : events.progress) seen += "[" + p.second + "]";
  SCOPED_TRACE(seen);
  EXPECT_GE(times.size(), 3u) << "reports were dropped that were due";
  EXPECT_LE(times.size(), 8u) << "reports within 0.25 s of the last went out";
  for (std::size_t i = 1; i < times.size(); ++i) EXPECT_GT(times[i] - times[i - 1], 0.24);
  // Every report is a status as well, right before it.
  for (const auto& p : events.progress) EXPECT_TRUE(events.SawStatus(p.second)) << p.second;
}

// A state the engine does not know shows "Other response" and a text that depends on
// the size announced by the last response, unless either suppress flag is set.
TEST_F(EngineRule, AnUnknownStateReportsTheSizeAnnouncedSoFar) {
  twitest::WriteFileBytes(twitest::HttpRoot() + "\\sized.bin", std::string(1500, 's'));
  struct Case {
    const char* before;  // a download before the state, "" for none
    bool dlOnly, errorsOnly;
    std::vector<std::string> statuses;
  };
  const std::vector<Case> cases = {
      {"", false, false, {"Downloaded 0kb"}},
      {"/files/sized.bin", false, false, {"File Size: 1.46 kb.  Downloaded 0 kb (0%)"}},
      {"/noclen/1500", false, false, {"Downloaded 0kb"}},
      {"/files/sized.bin", true, false, {}},
      {"/files/sized.bin", false, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.before) + (c.dlOnly ? " dl-only" : "") + (c.errorsOnly ? " errors-only" : ""));
    twi::cSHAREDInternet fresh;
    twitest::EventLog log;
    log.Attach(fresh);
    if (*c.before) {
      ASSERT_TRUE(fresh.GetFile(HttpUrl(c.before), Target()));
      // GetFile returns at the end of the body; the download's connection may still
      // report "disconnecting" and "disconnected" from its thread, and the handler's
      // pumping below would let them overwrite the caption. The transfer is over:
      // silence it.
      fresh.Engine()->Control()->Cancel();
    }
    fresh.SetSuppressAllButDLAndErrors(c.dlOnly);
    fresh.SetSuppressAllButErrors(c.errorsOnly);
    log.statuses.clear();
    for (int state : {0, 13}) {
      fresh.Engine()->StateChangedForTests(state);
      EXPECT_EQ(fresh.Engine()->lblProgress.Caption(), "Other response");
    }
    std::vector<std::string> twice = c.statuses;
    twice.insert(twice.end(), c.statuses.begin(), c.statuses.end());
    EXPECT_EQ(log.statuses, twice);
  }
}

// The control's "repeat without size" error inside the state handling cancels the
// request and issues it again without asking for the size.
TEST_F(EngineRule, RepeatWithoutSizeIssuesTheRequestAgainWithoutTheSize) {
  struct Case {
    const char* raisingEvent;
    long expectedSize;          // after the repeat
    const char* firstProgress;  // of the repeated request
  };
  // Raised before the first response was looked at, the size stays unknown; raised
  // after it, the size stays, and the progress texts no longer show it.
  for (const Case& c : {Case{"receiving", -1, "Downloaded 1kb"},
                        Case{"status:Downloading", 5000, "1 kb downloaded"}}) {
    SCOPED_TRACE(c.raisingEvent);
    twi::cSHAREDInternet fresh;
    twitest::EventLog log;
    log.Attach(fresh);
    log.OnEvent = twitest::RaiseOnce(c.raisingEvent,
                                     RuntimeError(twi::inet::kErrRetryWithoutSize, "Repeat"));
    ASSERT_TRUE(fresh.GetFile(HttpUrl("/bytes/5000"), Target()));
    EXPECT_EQ(log.receiving, 2) << "the request was issued again";
    EXPECT_TRUE(twitest::ReadFileBytes(Target()) == twitest::PatternBytes(5000));
    EXPECT_EQ(fresh.ExpectedFilesize(), c.expectedSize);
    ASSERT_FALSE(log.progress.empty());
    EXPECT_EQ(log.progress.front().second, c.firstProgress);
    EXPECT_EQ(Count(log.statuses, "Downloaded 5 kb (100%)"), 1u);
    EXPECT_EQ(log.finished, 1);
    EXPECT_TRUE(log.errors.empty());
  }
}

// A "response completed" before any "response received" of the request: the request
// is issued again without the size, and the repeated request delivers the file once.
TEST_F(EngineRule, AResponseCompletedWithoutAResponseReceivedIssuesTheRequestAgain) {
  bool injected = false;
  events.OnEvent = [&](const std::string& event) {
    if (event != "receiving" || injected) return;
    injected = true;
    client.Engine()->StateChangedForTests(twi::inet::state::ResponseCompleted);
  };
  ASSERT_TRUE(Get(HttpUrl("/bytes/5000")));
  events.OnEvent = nullptr;
  EXPECT_EQ(events.receiving, 2);
  EXPECT_TRUE(twitest::ReadFileBytes(Target()) == twitest::PatternBytes(5000));
  EXPECT_EQ(client.ExpectedFilesize(), -1) << "asked again without the size";
  EXPECT_EQ(Count(events.statuses, "Downloaded 5 kb (100%)"), 1u);
  EXPECT_EQ(events.finished, 1);
  EXPECT_TRUE(events.errors.empty());
}

// A cancel raises Progress(0, "Download cancelled") and then DownloadCancelled, whether
// the user stops a transfer or GetFile stops an earlier one that still runs.
TEST_F(EngineRule, ACancelReportsProgressZeroBeforeDownloadCancelled) {
  const std::vector<std::string> cancelEvents = {"progress:0:Download cancelled", "cancelled"};
  auto cancelSequence = [&] {
    std::vector<std::string> found;
    for (std::size_t i = 0; i + 1 < events.sequence.size(); ++i)
      if (events.sequence[i + 1] == "cancelled") found = {events.sequence[i], events.sequence[i + 1]};
    return found;
  };
  {
    twitest::StopButton stop(client);
    stop.PressAfter(500);
    EXPECT_FALSE(Get(HttpUrl("/slow/4000000/100000")));
    EXPECT_EQ(cancelSequence(), cancelEvents);
    EXPECT_EQ(events.cancelled, 1);
  }
  ResetEvents();
  client.Engine()->DownloadFile(HttpUrl("/hold/20"), dir.File("earlier.bin"), true);
  ASSERT_TRUE(client.Connected());
  EXPECT_TRUE(Get(HttpUrl("/bytes/100")));
  EXPECT_EQ(cancelSequence(), cancelEvents);
  ASSERT_FALSE(events.sequence.empty());
  EXPECT_EQ(events.sequence.front(), "progress:0:Download cancelled") << "before the new download";
}

}  // namespace
