// The transfer control against vsftpd: the download engine's CD / GET / CLOSE script,
// the server's replies on failure, and cancelling a GET while Execute waits.
#include <gtest/gtest.h>
#include <windows.h>

#include "base/RuntimeError.h"
#include "base/TextConv.h"
#include "inet/InetTestHelpers.h"
#include "ui/Timer.h"

namespace {

using namespace inettest;
using twi::inet::InetControl;

// Puts a file into the FTP server's root (folders created as needed).
void PutOnServer(const std::string& relative, const Bytes& content) {
  std::string path = ServerFile("ftp-root/" + relative);
  for (std::size_t slash = path.find('\\', 3); slash != std::string::npos;
       slash = path.find('\\', slash + 1))
    CreateDirectoryW(twi::ToWide(path.substr(0, slash)).c_str(), nullptr);
  twitest::WriteFileBytes(path, AsText(content));
}

// Content that is not the HTTP pattern, so a mix-up would show.
Bytes FileContent(std::size_t size) {
  Bytes bytes(size);
  std::uint32_t x = 12345;
  for (auto& b : bytes) b = static_cast<std::uint8_t>((x = x * 1103515245u + 12345u) >> 24);
  return bytes;
}

struct FtpRun {
  explicit FtpRun(InetControl& control) : control(control) {
    control.StateChanged = [this](int state) {
      states.push_back(state);
      if (state == 8) lengthAtResponse = this->control.GetHeader("Content-Length");
    };
  }
  // Runs one operation; the states it raised.
  std::vector<int> Execute(const std::string& operation) {
    states.clear();
    control.Execute(FtpAddress(), operation);
    return states;
  }
  InetControl& control;
  std::vector<int> states;
  std::string lengthAtResponse;
};

TEST(InetFtp, CdGetCloseRunInTurnAndLeaveTheFileComplete) {
  const Bytes content = FileContent(300000);
  PutOnServer("pub/dir/package.zip", content);
  twitest::ScratchFolder local;
  const std::string target = local.File("package.zip");
  InetControl control;
  FtpRun run(control);

  EXPECT_EQ(run.Execute("CD /pub/dir/"), (std::vector<int>{1, 2, 3, 4, 5, 6}));
  EXPECT_FALSE(control.StillExecuting());
  EXPECT_EQ(control.ResponseCode(), 250) << control.ResponseInfo();

  EXPECT_EQ(run.Execute("GET package.zip " + target), (std::vector<int>{5, 6, 7, 8}));
  EXPECT_EQ(run.lengthAtResponse, "300000");
  EXPECT_TRUE(twitest::ReadFileBytes(target) == AsText(content)) << "complete when Execute returns";
  EXPECT_EQ(control.ResponseCode(), 226) << control.ResponseInfo();

  EXPECT_EQ(run.Execute("CLOSE"), (std::vector<int>{9, 10}));

  // A new session after CLOSE connects again.
  EXPECT_EQ(run.Execute("CD /"), (std::vector<int>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(run.Execute("GET pub/dir/package.zip " + target), (std::vector<int>{5, 6, 7, 8}));
  EXPECT_TRUE(twitest::ReadFileBytes(target) == AsText(content));
  run.Execute("CLOSE");
}

TEST(InetFtp, MissingFileOrFolderEndsWithErrorAndTheServersReply) {
  twitest::ScratchFolder local;
  const std::string target = local.File("missing.zip");
  InetControl control;
  FtpRun run(control);

  EXPECT_EQ(run.Execute("CD /no/such/folder/"), (std::vector<int>{1, 2, 3, 4, 5, 11}));
  EXPECT_NE(control.ResponseInfo().find("550"), std::string::npos) << control.ResponseInfo();
  EXPECT_EQ(control.ResponseCode(), 550);

  EXPECT_EQ(run.Execute("GET missing.zip " + target), (std::vector<int>{5, 11}));
  EXPECT_NE(control.ResponseInfo().find("550"), std::string::npos) << control.ResponseInfo();
  EXPECT_NE(control.ResponseInfo().find("12003"), std::string::npos) << control.ResponseInfo();
  EXPECT_FALSE(twitest::PathExists(target));
  EXPECT_EQ(run.Execute("CLOSE"), (std::vector<int>{9, 10}));
}

TEST(InetFtp, ServerThatRefusesTheConnectionGivesAnErrorPerOperation) {
  InetControl control;
  std::vector<int> states;
  control.StateChanged = [&](int state) { states.push_back(state); };
  for (const char* operation : {"CD /pub/", "GET a.zip C:\\a.zip"}) {
    SCOPED_TRACE(operation);
    states.clear();
    control.Execute("FTP://127.0.0.1:1", operation);
    ASSERT_FALSE(states.empty());
    EXPECT_EQ(states.back(), 11);
    EXPECT_LT(states.size(), 5u) << "never connected";
    EXPECT_NE(control.ResponseInfo().find("12029"), std::string::npos) << control.ResponseInfo();
  }
}

TEST(InetFtp, CancelFromAPumpedTimerAbortsTheGetAndLeavesNoFile) {
  PutOnServer("big.bin", FileContent(12 * 1024 * 1024));  // about 3 s at the server's rate
  twitest::ScratchFolder local;
  const std::string target = local.File("big.bin");
  InetControl control;
  FtpRun run(control);
  ui::Timer stopButton;
  stopButton.SetInterval(400);
  stopButton.OnTimer = [&] {
    stopButton.SetEnabled(false);
    control.Cancel();
  };
  stopButton.SetEnabled(true);

  auto start = Clock::now();
  std::vector<int> states = run.Execute("GET big.bin " + target);
  EXPECT_LT(SecondsSince(start), 1.5);
  EXPECT_FALSE(stopButton.Enabled()) << "the timer ran while Execute waited";
  EXPECT_FALSE(control.StillExecuting());
  for (int state : states) EXPECT_LT(state, 8) << "no completion or error after a cancel";
  EXPECT_FALSE(twitest::PathExists(target));

  // The aborted session is gone; the next operation connects afresh.
  EXPECT_EQ(run.Execute("CD /"), (std::vector<int>{1, 2, 3, 4, 5, 6}));
  run.Execute("CLOSE");
}

}  // namespace
