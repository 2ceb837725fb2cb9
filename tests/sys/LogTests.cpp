// The log: line format, the header of a fresh log, batched actions, and a log
// that another program holds.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "base/FileTable.h"
#include "base/TextConv.h"
#include "diag/cSharedLogging.h"
#include "support/TestSupport.h"
#include "sys/cSharedFileSubs.h"

namespace {

using twi::cSharedLogging;

std::vector<std::string> LinesOf(const std::string& path) {
  return twitest::SplitLines(twitest::ReadFileBytes(path));
}

const std::regex kLine(R"(^(\d+) ([01]\d|2[0-3]):[0-5]\d:[0-5]\d, (.*)$)");

std::string TextOf(const std::string& line) {
  std::smatch m;
  return std::regex_match(line, m, kLine) ? m[3].str() : "<bad line: " + line + ">";
}

class Log : public ::testing::Test {
 protected:
  twitest::ScratchFolder dir;
  cSharedLogging log;
  std::string File() { return dir.File("log.txt"); }
  void SetUp() override { log.SetLogFilename(File()); }
};

TEST_F(Log, AFreshLogStartsWithTheSixHeaderLines) {
  twitest::WriteFileBytes(File(), "old content\r\n");
  log.LogEvent("Program startup", true);
  log.LogEvent("Scanning");
  auto lines = LinesOf(File());
  ASSERT_EQ(lines.size(), 8u);
  for (const auto& line : lines) EXPECT_TRUE(std::regex_match(line, kLine)) << line;
  EXPECT_EQ(lines[0].substr(0, 2), "1 ");
  EXPECT_EQ(TextOf(lines[0]), "Log file created ");
  EXPECT_EQ(TextOf(lines[1]).rfind("Operating System: ", 0), 0u);
  EXPECT_EQ(TextOf(lines[2]), "App: sys_tests");
  EXPECT_EQ(TextOf(lines[3]), "Version: 1.2.99");
  EXPECT_EQ(TextOf(lines[4]).rfind("Curdir: ", 0), 0u);
  EXPECT_EQ(TextOf(lines[5]).rfind("App path: ", 0), 0u);
  EXPECT_EQ(TextOf(lines[6]), "Program startup");
  EXPECT_EQ(TextOf(lines[7]), "Scanning");
}

TEST_F(Log, TheLineShowsTheNumberTheFileIsOpenUnder) {
  int other = twi::TheFiles().Open(dir.File("other.txt"), twi::FileMode::Output);
  log.LogEvent("while another file is open");
  twi::TheFiles().Close(other);
  auto lines = LinesOf(File());
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].substr(0, 2), std::to_string(other + 1) + " ");
}

TEST_F(Log, ALogThatCannotBeErasedIsAppendedWithoutHeader) {
  twitest::WriteFileBytes(File(), "1 10:00:00, earlier run\r\n");
  // Held open for reading and writing, but not for deletion.
  HANDLE held = CreateFileW(twi::ToWide(File()).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  log.LogEvent("Program startup", true);
  CloseHandle(held);
  auto lines = LinesOf(File());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "1 10:00:00, earlier run");
  EXPECT_EQ(TextOf(lines[1]), "Program startup");
}

TEST_F(Log, AReadOnlyOldLogIsErasedAsUsual) {
  twitest::WriteFileBytes(File(), "old\r\n");
  SetFileAttributesW(twi::ToWide(File()).c_str(), FILE_ATTRIBUTE_READONLY);
  log.LogEvent("Program startup", true);
  auto lines = LinesOf(File());
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(TextOf(lines[0]), "Log file created ");
}

TEST_F(Log, ALineThatCannotBeWrittenIsKeptForTheNextOne) {
  log.LogEvent("first");
  HANDLE held = CreateFileW(twi::ToWide(File()).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_NO_THROW(log.LogEvent("second"));  // logging never interrupts the work
  EXPECT_EQ(log.PendingEventCount(), 1u);
  CloseHandle(held);
  log.LogEvent("third");
  EXPECT_EQ(log.PendingEventCount(), 0u);
  auto lines = LinesOf(File());
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(TextOf(lines[1]), "second");
  EXPECT_EQ(TextOf(lines[2]), "third");
}

TEST_F(Log, ActionsAreWrittenInABatchWhenThe21stArrives) {
  log.LogEvent("start");
  for (int i = 1; i <= 20; ++i) log.AddAction("action " + std::to_string(i));
  EXPECT_EQ(LinesOf(File()).size(), 1u);
  EXPECT_EQ(log.PendingActionCount(), 20u);
  log.AddAction("X", "Y", "Z");
  EXPECT_EQ(log.PendingActionCount(), 0u);
  auto lines = LinesOf(File());
  ASSERT_EQ(lines.size(), 22u);
  EXPECT_EQ(TextOf(lines[1]), "action 1");
  EXPECT_EQ(TextOf(lines[20]), "action 20");
  EXPECT_EQ(TextOf(lines[21]), "X in Y of module Z");
}

TEST_F(Log, ActionTextsAndDebugMarks) {
  log.AddAction("X", "", "Z");
  log.AddAction("X");
  log.AddDebug("X", "Y", "Z");
  log.AddAction("X", "Y");
  log.WriteActionsToLog();
  auto lines = LinesOf(File());
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(TextOf(lines[0]), "X of module Z");
  EXPECT_EQ(TextOf(lines[1]), "X");
  EXPECT_EQ(TextOf(lines[2]), "DBG: X in Y of module Z");
  EXPECT_EQ(TextOf(lines[3]), "X in Y");
}

TEST_F(Log, ActionsStayPendingWhileTheFileCannotBeOpened) {
  log.LogEvent("start");
  log.AddAction("kept");
  HANDLE held = CreateFileW(twi::ToWide(File()).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            0, nullptr);
  log.WriteActionsToLog();
  EXPECT_EQ(log.PendingActionCount(), 1u);
  CloseHandle(held);
  log.WriteActionsToLog();
  EXPECT_EQ(log.PendingActionCount(), 0u);
  EXPECT_EQ(TextOf(LinesOf(File()).back()), "kept");
}

TEST_F(Log, NoLoggingWritesAndCollectsNothing) {
  log.NOLOGGING = true;
  log.LogEvent("nothing", true);
  for (int i = 0; i < 30; ++i) log.AddAction("a");
  EXPECT_EQ(log.PendingActionCount(), 0u);
  EXPECT_FALSE(twitest::PathExists(File()));
}

TEST_F(Log, AMessageWithALineBreakContinuesWithoutTimeStamp) {
  log.LogEvent("two\r\nlines");
  auto lines = LinesOf(File());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(TextOf(lines[0]), "two");
  EXPECT_EQ(lines[1], "lines");
}

TEST_F(Log, TextIsWrittenInTheAnsiCodePage) {
  log.LogEvent("Grüße");
  EXPECT_NE(twitest::ReadFileBytes(File()).find("Gr\xFC\xDF" "e"), std::string::npos);
}

// The shared log is the one every service writes its trapped errors to: when it
// cannot open its own file, the failure must not come back to it (it would
// record the failure, which fills the batch, which tries the file again, …).
TEST(SharedLog, ActionsTheFileCannotTakeStayPendingAndTheWorkGoesOn) {
  cSharedLogging& log = twi::TheLog();
  const std::string previous = log.CurrentLogFilename();
  log.WriteActionsToLog();
  twitest::ScratchFolder dir;
  struct Case {
    const char* why;
    std::string path;
    bool holdOpen;
  };
  for (const Case& c : {Case{"held open by another program", dir.File("held.txt"), true},
                        Case{"its folder is missing", dir.File("missing\\log.txt"), false}}) {
    SCOPED_TRACE(c.why);
    log.SetLogFilename(c.path);
    HANDLE held = INVALID_HANDLE_VALUE;
    if (c.holdOpen) {
      twitest::WriteFileBytes(c.path, "");
      held = CreateFileW(twi::ToWide(c.path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                         OPEN_EXISTING, 0, nullptr);
      ASSERT_NE(held, INVALID_HANDLE_VALUE);
    }
    for (int i = 1; i <= 21; ++i) log.AddAction("kept " + std::to_string(i), "Step", "cTest");
    EXPECT_EQ(log.PendingActionCount(), 21u);
    if (c.holdOpen) {
      CloseHandle(held);
      log.AddAction("after");
      EXPECT_EQ(log.PendingActionCount(), 0u);
      auto lines = LinesOf(c.path);
      ASSERT_EQ(lines.size(), 22u);
      EXPECT_EQ(TextOf(lines[0]), "kept 1 in Step of module cTest");
      EXPECT_EQ(TextOf(lines[21]), "after");
    } else {
      log.SetLogFilename(dir.File("log.txt"));
      log.WriteActionsToLog();
      EXPECT_EQ(LinesOf(dir.File("log.txt")).size(), 21u);
    }
  }
  log.SetLogFilename(previous);
}

// The header as another program, the probe, writes it at its start-up while
// Wine poses as Windows XP; the actions it still holds when it ends are lost.
TEST(SharedLog, TheHeaderNamesWindowsTheProgramAndItsFoldersAndPendingActionsDieWithIt) {
  twitest::ScratchFolder dir;
  std::string path = dir.File("probe-log.txt");
  twitest::SetWineVersionFor("probe.exe", "winxp");
  std::string output;
  long code = twitest::RunAndCapture("\"" + twitest::ProbeExe() + "\" log \"" + path + "\" 5", output);
  twitest::SetWineVersionFor("probe.exe", "");
  ASSERT_EQ(code, 0) << output;
  wchar_t current[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, current);
  wchar_t probe[MAX_PATH] = {};
  GetFullPathNameW(twi::ToWide(twitest::ProbeExe()).c_str(), MAX_PATH, probe, nullptr);
  std::string probeFolder = twi::ToUtf8(probe);
  probeFolder.erase(probeFolder.rfind('\\'));
  auto lines = LinesOf(path);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(TextOf(lines[1]), "Operating System: WinXP");
  EXPECT_EQ(TextOf(lines[2]), "App: probe");
  EXPECT_EQ(TextOf(lines[4]), "Curdir: " + twi::ToUtf8(current));
  EXPECT_EQ(TextOf(lines[5]), "App path: " + probeFolder);
  EXPECT_EQ(TextOf(lines[6]), "Program startup");
}

}  // namespace
