// Faults of the download engine and client that a review found, each against the test
// servers: errors raised by the program's own event handlers in the middle of a
// transfer, sizes that do not fit, the progress percentage across transfers, FTP
// cancels, and text replies without end.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/Clock.h"
#include "base/RuntimeError.h"
#include "base/TextConv.h"
#include "support/DownloadFixture.h"

namespace {

using twitest::HttpUrl;
using twitest::RaiseOnce;
using twi::RuntimeError;

using ClientFault = twitest::DownloadTest;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::size_t Count(const std::vector<std::string>& items, const std::string& item) {
  return static_cast<std::size_t>(std::count(items.begin(), items.end(), item));
}

void Erase(const std::string& path) { DeleteFileW(twi::ToWide(path).c_str()); }

const RuntimeError kHandlerError(5, "Invalid procedure call");

// GetFile cancels a request of its engine that still runs before it starts its own. A
// handler of the program that raises an error during that cancel is recorded, and the
// download then runs as asked: the result is true only with the file complete.
TEST_F(ClientFault, AnErrorTrappedByGetFileNeitherEndsItsWorkNorPassesForSuccess) {
  for (const char* raisingEvent : {"progress:0:Download cancelled", "cancelled"}) {
    SCOPED_TRACE(raisingEvent);
    Erase(Target());
    ResetEvents();
    client.Engine()->DownloadFile(HttpUrl("/hold/20"), dir.File("earlier.bin"), true);
    ASSERT_TRUE(client.Connected());
    events.OnEvent = RaiseOnce(raisingEvent, kHandlerError);
    bool result = Get(HttpUrl("/bytes/3000"));
    events.OnEvent = nullptr;
    EXPECT_TRUE(result);
    EXPECT_TRUE(twitest::ReadFileBytes(Target()) == twitest::PatternBytes(3000))
        << "GetFile said " << result << " of a file of "
        << twitest::ReadFileBytes(Target()).size() << " bytes";
    EXPECT_TRUE(Contains(twitest::FlushedLog(),
                         ", Invalid procedure call(5) in GetFile of module cSHAREDInternet\r\n"));
  }
}

// An error raised inside the handling of a state (here by a handler of the program) is
// recorded under "inet1_StateChanged" and the handling goes on with its next statement:
// the body is read, the final text and DownloadFinished still come.
TEST_F(ClientFault, AnErrorInsideTheStateHandlingIsRecordedAndTheHandlingGoesOn) {
  client.Engine()->SetTimingForTests(50, 60);  // an abandoned transfer would time out in 3 s
  for (const char* raisingEvent :
       {"receiving", "status:Downloading", "progress:", "status:Downloaded 3 kb (100%)"}) {
    SCOPED_TRACE(raisingEvent);
    ResetEvents();
    twitest::StopButton watchdog(client);  // without the mend, one case would wait for ever
    watchdog.PressAfter(10000);
    twitest::PumpFor(std::chrono::milliseconds(300));  // the first progress report is due
    events.OnEvent = RaiseOnce(raisingEvent, kHandlerError);
    double start = twi::ClockSeconds();
    bool result = Get(HttpUrl("/bytes/3000"));
    events.OnEvent = nullptr;
    EXPECT_TRUE(result);
    EXPECT_LT(twi::ClockSeconds() - start, 2.0);
    EXPECT_TRUE(twitest::ReadFileBytes(Target()) == twitest::PatternBytes(3000));
    EXPECT_EQ(Count(events.statuses, "Downloaded 3 kb (100%)"), 1u);
    EXPECT_EQ(events.finished, 1);
    EXPECT_TRUE(events.errors.empty()) << events.errors.front();
    EXPECT_TRUE(Contains(twitest::FlushedLog(),
                         ", Invalid procedure call (5) in inet1_StateChanged of module "
                         "fSHAREDInternet\r\n"));
  }
}

// The size is a 32-bit number: a Content-Length that does not fit is a trapped overflow
// that leaves ExpectedFilesize at -1 (no size announced), not a number made up by a cast.
TEST_F(ClientFault, AContentLengthBeyondThirtyOneBitsIsAnOverflowAndNoSize) {
  struct Case {
    const char* declared;
    long expected;
    bool overflow;
  };
  for (const Case& c : {Case{"2147483647", 2147483647, false}, Case{"2147483648", -1, true},
                        Case{"4294968296", -1, true}, Case{"3000000000", -1, true}}) {
    SCOPED_TRACE(c.declared);
    ResetEvents();
    const std::string overflow = ", Overflow (6) in inet1_StateChanged of module fSHAREDInternet";
    std::size_t before = 0;
    for (std::size_t at = 0; (at = twitest::FlushedLog().find(overflow, at)) != std::string::npos; ++at)
      ++before;
    // The server announces the size, sends 1000 bytes and closes.
    EXPECT_TRUE(Get(HttpUrl(std::string("/short/") + c.declared + "/1000")));
    EXPECT_EQ(client.ExpectedFilesize(), c.expected);
    std::size_t after = 0;
    for (std::size_t at = 0; (at = twitest::FlushedLog().find(overflow, at)) != std::string::npos; ++at)
      ++after;
    EXPECT_EQ(after - before, c.overflow ? 1u : 0u);
    EXPECT_EQ(twitest::ReadFileBytes(Target()).size(), 1000u);
  }
}

// The percentage is computed once some text was received, and the received text is
// emptied only by OpenURL: a download whose first chunk holds no text shows its
// percentage at once when an earlier transfer of the engine brought text.
TEST_F(ClientFault, ThePercentageFollowsTheTextReceivedSinceTheLastTextFetch) {
  twitest::WriteFileBytes(twitest::HttpRoot() + "\\readme.txt", std::string(5000, 'r'));
  twitest::WriteFileBytes(twitest::HttpRoot() + "\\zeros.txt", std::string(10, '\0'));
  struct Case {
    const char* earlier;  // an earlier transfer of the same engine, "" for none
    bool earlierIsFile;
    const char* firstProgress;  // of a body whose first chunk holds no text
  };
  for (const Case& c : {Case{"", false, "1 kb of 5 kb (0%)"},
                        Case{"/files/readme.txt", true, "1 kb of 5 kb (20%)"},
                        Case{"/text/hello", false, "1 kb of 5 kb (20%)"},
                        Case{"/files/zeros.txt", false, "1 kb of 5 kb (0%)"},
                        Case{"/bytes/5000", true, "1 kb of 5 kb (20%)"}}) {
    SCOPED_TRACE(c.earlier);
    twi::cSHAREDInternet fresh;
    twitest::EventLog log;
    log.Attach(fresh);
    if (*c.earlier && c.earlierIsFile) {
      ASSERT_TRUE(fresh.GetFile(HttpUrl(c.earlier), dir.File("earlier.bin")));
    }
    if (*c.earlier && !c.earlierIsFile) fresh.OpenURL(HttpUrl(c.earlier));
    twitest::PumpFor(std::chrono::milliseconds(300));  // the first report is not held back
    log.progress.clear();
    ASSERT_TRUE(fresh.GetFile(HttpUrl("/bytes/5000"), Target()));
    ASSERT_FALSE(log.progress.empty());
    EXPECT_EQ(log.progress.front().second, c.firstProgress);
  }
}

// An FTP address of a server that accepts the connection and then says nothing: the
// operation waits inside WinInet. The window stays alive and a cancel ends GetFile at
// once; no further operation of the script starts, and no file is left.
TEST_F(ClientFault, FtpCancelWhileTheServerIsSilentTakesEffectAtOnce) {
  const std::string silent = "ftp://127.0.0.1:" + std::to_string(twitest::ServerPort("HTTP"));
  twitest::StopButton stop(client);
  stop.PressAfter(500);
  double start = twi::ClockSeconds();
  EXPECT_FALSE(Get(silent + "/pub/file.zip"));
  double returned = twi::ClockSeconds();
  ASSERT_TRUE(stop.Pressed()) << "the window's messages ran while the operation waited";
  EXPECT_LT(returned - stop.PressedAt(), 0.5) << "returned " << returned - start << " s after the start";
  EXPECT_EQ(events.cancelled, 1);
  EXPECT_EQ(events.finished, 0) << "no DownloadFinished after a cancel";
  EXPECT_FALSE(twitest::PathExists(Target()));
}

TEST_F(ClientFault, FtpCancelEndsTheScriptAndLeavesNoFile) {
  std::string content(12 * 1024 * 1024, 'x');  // about 3 s at the server's rate
  CreateDirectoryW(twi::ToWide(twitest::FtpRoot() + "\\pub").c_str(), nullptr);
  twitest::WriteFileBytes(twitest::FtpRoot() + "\\pub\\big.bin", content);
  const std::string url = "ftp://" + twitest::FtpHostAndPort() + "/pub/big.bin";
  struct Case {
    const char* when;  // the event at which the user cancels; "" for a timer during the GET
  };
  for (const Case& c : {Case{"status:Connected"}, Case{""}}) {
    SCOPED_TRACE(c.when);
    ResetEvents();
    twitest::StopButton stop(client);
    double cancelledAt = 0;
    if (*c.when) {
      std::string when = c.when;
      events.OnEvent = [&, when](const std::string& event) {
        if (event != when || cancelledAt > 0) return;
        cancelledAt = twi::ClockSeconds();
        client.Cancel();
      };
    } else {
      stop.PressAfter(700);
    }
    EXPECT_FALSE(Get(url));
    double returned = twi::ClockSeconds();
    events.OnEvent = nullptr;
    if (stop.Pressed()) cancelledAt = stop.PressedAt();
    ASSERT_GT(cancelledAt, 0.0);
    EXPECT_LT(returned - cancelledAt, 0.5);
    EXPECT_FALSE(twitest::PathExists(Target())) << "no file, right when GetFile returns";
    std::vector<std::string> afterCancel = events.After("cancelled");
    EXPECT_EQ(Count(afterCancel, "receiving"), 0u) << "no GET started after the cancel";
    EXPECT_EQ(events.finished, 0);
  }
}

// A text reply that never ends is cut off at 1 MB: the transfer is cancelled and counts
// as failed (an empty reply, and a log action naming the limit). A file download has no
// such limit.
TEST_F(ClientFault, ATextReplyWithoutEndStopsAtItsLimit) {
  twitest::StopButton watchdog(client);  // without the limit the reply would never end
  watchdog.PressAfter(5000);
  double start = twi::ClockSeconds();
  EXPECT_EQ(client.OpenURL(HttpUrl("/endlesstext/version%201.2.3%0D%0A")), "");
  EXPECT_LT(twi::ClockSeconds() - start, 4.0);
  EXPECT_FALSE(watchdog.Pressed());
  EXPECT_FALSE(client.Connected()) << "the transfer was cancelled";
  EXPECT_TRUE(Contains(twitest::FlushedLog(), "1048576 bytes"));

  std::string limit(1048576, 'a');
  twitest::WriteFileBytes(twitest::HttpRoot() + "\\limit.txt", limit);
  twitest::WriteFileBytes(twitest::HttpRoot() + "\\over.txt", limit + "b");
  EXPECT_EQ(client.OpenURL(HttpUrl("/files/limit.txt")), limit);
  EXPECT_EQ(client.OpenURL(HttpUrl("/files/over.txt")), "");
  EXPECT_TRUE(Get(HttpUrl("/noclen/3145728")));
  EXPECT_EQ(twitest::ReadFileBytes(Target()).size(), 3145728u);
}

}  // namespace
