// The download engine and client against real servers on 127.0.0.1: texts and
// files, sizes, progress texts, failures, cancel, time-outs and FTP.
#include <gtest/gtest.h>

#include <cstdio>

#include "base/Clock.h"
#include "base/TextConv.h"
#include "support/DownloadFixture.h"
#include "support/TestServers.h"
#include "ui/Timer.h"

namespace {

using twitest::EventLog;
using twitest::HttpUrl;
using twi::cSHAREDInternet;

const char* kDownloaded1kb = "Downloaded 1 kb (100%)";

using Transfer = twitest::DownloadTest;

TEST_F(Transfer, OpenUrlWithStatusRaisesTheStateTextsInOrder) {
  EXPECT_EQ(client.OpenURL(HttpUrl("/text/hello"), true), "hello");
  std::vector<std::string> expected = {"Resolving host", "Resolved host", "Connecting",
                                       "Connected",      "Downloading",   "Downloaded 1kb",
                                       kDownloaded1kb};
  EXPECT_EQ(events.statuses, expected);
  EXPECT_EQ(client.ExpectedFilesize(), -1);  // OpenURL does not ask for the size
}

TEST_F(Transfer, OpenUrlWithoutStatusRaisesOnlyTheFinalText) {
  EXPECT_EQ(client.OpenURL(HttpUrl("/text/hello"), false), "hello");
  EXPECT_EQ(events.statuses, std::vector<std::string>{kDownloaded1kb});
  EXPECT_TRUE(events.progress.empty());
}

TEST_F(Transfer, OpenUrlReturnsTheWholeBodyAsText) {
  // Longer than one chunk and ending in a one-byte chunk: nothing may be lost.
  std::string text = "  ";
  while (text.size() < 3072) text += "version 1.2.3 line of text ";
  text.resize(3072);
  text += "Z";
  twitest::WriteFileBytes(twitest::HttpRoot() + "\\long.txt", text + "  ");
  EXPECT_EQ(client.OpenURL(HttpUrl("/files/long.txt")), twi::Trim(text));
  twitest::WriteFileBytes(twitest::HttpRoot() + "\\zero.txt", std::string("abc\0def", 7));
  EXPECT_EQ(client.OpenURL(HttpUrl("/files/zero.txt")), "abc");
  EXPECT_NE(client.OpenURL(HttpUrl("/files/absent.txt")).find("<HTML>"), std::string::npos);
}

TEST_F(Transfer, OpenUrlOfARefusedConnectionIsEmpty) {
  EXPECT_EQ(client.OpenURL("http://127.0.0.1:9/none.txt"), "");
  ASSERT_EQ(events.errors.size(), 1u);
  EXPECT_FALSE(events.errors[0].empty());
  EXPECT_EQ(events.statuses.back(), events.errors[0]);  // the error text is always shown
}

TEST_F(Transfer, GetFileWritesTheFileAndReportsItsSize) {
  EXPECT_EQ(client.ExpectedFilesize(), 0);  // before any response
  ASSERT_TRUE(Get(HttpUrl("/bytes/5000")));
  EXPECT_TRUE(twitest::ReadFileBytes(Target()) == twitest::PatternBytes(5000));
  EXPECT_EQ(client.ExpectedFilesize(), 5000);
  // Its first chunk begins with a zero byte and so holds no text yet: 0%.
  EXPECT_TRUE(events.SawProgress("1 kb of 5 kb (0%)"));
  EXPECT_EQ(events.statuses.back(), "Downloaded 5 kb (100%)");
  events.progress.clear();
  twitest::WriteFileBytes(twitest::HttpRoot() + "\\readme.txt", std::string(5000, 'r'));
  ASSERT_TRUE(Get(HttpUrl("/files/readme.txt")));
  EXPECT_TRUE(events.SawProgress("1 kb of 5 kb (20%)"));
  EXPECT_EQ(events.progress.front().first, 20.0f);
  ASSERT_TRUE(Get(HttpUrl("/noclen/5000")));
  EXPECT_EQ(client.ExpectedFilesize(), -1);
  EXPECT_EQ(twitest::ReadFileBytes(Target()).size(), 5000u);
  ASSERT_TRUE(Get(HttpUrl("/bytes/5000"), false));
  EXPECT_EQ(client.ExpectedFilesize(), -1);  // no size asked for
}

TEST_F(Transfer, ProgressTextsFollowTheWholeKilobyteCount) {
  // Chunks that arrive 0.8 s apart pass the 0.25 s spacing of the reports, also when
  // the first one is taken late (GetFile looks at its transfer every 150 ms).
  ASSERT_TRUE(Get(HttpUrl("/paced/1500/1024/0.8")));
  std::string seen;
  for (const auto& p : events.progress) seen += "[" + p.second + "]";
  SCOPED_TRACE(seen);
  EXPECT_TRUE(events.SawProgress("1 kb of 1 kb (0%)"));  // no text in the first chunk yet
  EXPECT_TRUE(events.SawProgress("2 kb of 1 kb (137%)"));
  EXPECT_EQ(events.statuses.back(), "Downloaded 2 kb (100%)");
  ResetEvents();
  ASSERT_TRUE(Get(HttpUrl("/pacednoclen/13312/1024/0.45")));
  ASSERT_FALSE(events.progress.empty());
  EXPECT_EQ(events.progress.back().second, "Downloaded 13kb");
  EXPECT_EQ(events.progress.back().first, 100.0f);
}

TEST_F(Transfer, AnErrorPageIsDeliveredLikeAnyResponse) {
  ASSERT_TRUE(Get(HttpUrl("/files/missing.zip")));
  EXPECT_NE(twitest::ReadFileBytes(Target()).find("<HTML>"), std::string::npos);
}

TEST_F(Transfer, AFailedTransferLeavesNoFile) {
  twitest::WriteFileBytes(Target(), "an old copy");
  EXPECT_FALSE(Get("http://127.0.0.1:9/package.zip"));
  EXPECT_FALSE(twitest::PathExists(Target()));
}

TEST_F(Transfer, ABodyCutOffByAResetFailsAndLeavesNoFile) {
  EXPECT_FALSE(Get(HttpUrl("/reset/40000")));
  EXPECT_FALSE(twitest::PathExists(Target()));
  ASSERT_FALSE(events.errors.empty());
  EXPECT_EQ(events.errors.back(), "Download failed. Please try again.");
}

TEST_F(Transfer, ABodyClosedShortOfItsSizeIsDeliveredForTheCallerToCheck) {
  // The server closes the connection cleanly after 400000 of 500000 bytes: the
  // transfer ends, and the caller compares the file with the announced size.
  EXPECT_TRUE(Get(HttpUrl("/short/500000/400000")));
  EXPECT_EQ(client.ExpectedFilesize(), 500000);
  EXPECT_EQ(twitest::ReadFileBytes(Target()).size(), 400000u);
}

TEST_F(Transfer, CancelEndsGetFileQuicklyAndLeavesNoFile) {
  ui::Timer stop;
  double cancelledAt = 0;
  stop.SetInterval(600);
  stop.OnTimer = [&] {
    stop.SetEnabled(false);
    cancelledAt = twi::ClockSeconds();
    client.Cancel();
  };
  stop.SetEnabled(true);
  EXPECT_FALSE(Get(HttpUrl("/slow/4000000/100000")));
  double returnedAt = twi::ClockSeconds();
  ASSERT_GT(cancelledAt, 0.0);
  EXPECT_LT(returnedAt - cancelledAt, 0.45);  // one 150 ms poll and a pump or two
  std::printf("[ measured ] GetFile returned %.3f s after the cancel\n", returnedAt - cancelledAt);
  EXPECT_FALSE(twitest::PathExists(Target()));
  EXPECT_EQ(events.cancelled, 1);
  EXPECT_TRUE(events.SawProgress("Download cancelled"));
}

TEST_F(Transfer, AStalledBodyTimesOut) {
  client.Engine()->SetTimingForTests(50, 2);  // 61 ticks of 50 ms; reads wait 2 s
  double start = twi::ClockSeconds();
  EXPECT_FALSE(Get(HttpUrl("/stall/3000/30")));
  double took = twi::ClockSeconds() - start;
  EXPECT_GT(took, 1.8);
  EXPECT_LT(took, 8.0);
  EXPECT_FALSE(twitest::PathExists(Target()));
  ASSERT_FALSE(events.errors.empty());
  EXPECT_EQ(events.errors.front(), "Download timed out. Please try again.");
}

TEST_F(Transfer, ATimedOutOpenUrlReturnsWhatItHadReceived) {
  client.Engine()->SetTimingForTests(50, 2);
  EXPECT_EQ(client.OpenURL(HttpUrl("/stalltext/received%20so%20far/30")), "received so far");
  EXPECT_NE(std::find(events.errors.begin(), events.errors.end(), "Transfer timed out"),
            events.errors.end());
}

TEST_F(Transfer, GetFileAfterATimeOutCancelsTheOldRequestFirst) {
  client.Engine()->SetTimingForTests(50, 60);  // the engine gives up long before the control
  EXPECT_EQ(client.OpenURL(HttpUrl("/hold/20")), "");
  ASSERT_TRUE(client.Connected());  // the old request still runs
  EXPECT_EQ(events.cancelled, 0);
  ASSERT_TRUE(Get(HttpUrl("/bytes/3000")));
  EXPECT_EQ(events.cancelled, 1);
  EXPECT_TRUE(events.SawProgress("Download cancelled"));
  EXPECT_TRUE(twitest::ReadFileBytes(Target()) == twitest::PatternBytes(3000));
}

TEST_F(Transfer, FtpWithSchemeFetchesTheFile) {
  std::string bytes = twitest::PatternBytes(70000);
  CreateDirectoryW(twi::ToWide(twitest::FtpRoot() + "\\pub").c_str(), nullptr);
  CreateDirectoryW(twi::ToWide(twitest::FtpRoot() + "\\pub\\dir").c_str(), nullptr);
  twitest::WriteFileBytes(twitest::FtpRoot() + "\\pub\\dir\\file.zip", bytes);
  ASSERT_TRUE(Get("ftp://" + twitest::FtpHostAndPort() + "/pub/dir/file.zip"));
  EXPECT_TRUE(twitest::ReadFileBytes(Target()) == bytes);
  EXPECT_EQ(client.ExpectedFilesize(), 70000);
  // Backslashes count as slashes.
  ASSERT_TRUE(Get("ftp:\\\\" + twitest::FtpHostAndPort() + "\\pub\\dir\\file.zip"));
  EXPECT_TRUE(twitest::ReadFileBytes(Target()) == bytes);
}

TEST_F(Transfer, FtpFailuresLeaveNoFile) {
  EXPECT_FALSE(Get("ftp://" + twitest::FtpHostAndPort() + "/pub/absent.zip"));
  EXPECT_FALSE(twitest::PathExists(Target()));
  ASSERT_FALSE(events.errors.empty());
  EXPECT_NE(events.errors.back().find("550"), std::string::npos) << events.errors.back();
  events.errors.clear();
  EXPECT_FALSE(Get("ftp:///file.zip"));
  EXPECT_EQ(events.errors, std::vector<std::string>{"No address specified"});
  // Without a scheme the host comes first; this one does not resolve.
  events.errors.clear();
  EXPECT_FALSE(Get("ftp.invalid/file.zip"));
  EXPECT_FALSE(events.errors.empty());
}

TEST_F(Transfer, AnEngineWithoutItsControlNeverReportsSuccess) {
  client.Engine()->ControlMissing = true;
  twitest::WriteFileBytes(Target(), "old");
  EXPECT_FALSE(Get(HttpUrl("/bytes/100")));
  EXPECT_FALSE(twitest::PathExists(Target()));
  EXPECT_EQ(client.OpenURL(HttpUrl("/text/x")), "");
}

TEST_F(Transfer, ASecondTransferOnTheSameClientIsRefusedWhileOneRuns) {
  ui::Timer nested;
  std::string nestedReply = "not run";
  bool nestedGet = true;
  nested.SetInterval(300);
  nested.OnTimer = [&] {
    nested.SetEnabled(false);
    nestedReply = client.OpenURL(HttpUrl("/text/second"));
    nestedGet = client.GetFile(HttpUrl("/bytes/10"), dir.File("other.bin"));
  };
  nested.SetEnabled(true);
  EXPECT_TRUE(Get(HttpUrl("/slow/200000/200000")));
  EXPECT_EQ(nestedReply, "");
  EXPECT_FALSE(nestedGet);
  EXPECT_EQ(twitest::ReadFileBytes(Target()).size(), 200000u);
}

}  // namespace
