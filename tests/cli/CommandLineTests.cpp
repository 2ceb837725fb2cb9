// The command line as it is read, in this process: which command, which program
// of the list, and why a bad one is bad; the server addresses /server takes; the
// default answer of each kind of message box.
#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "app/RunLock.h"
#include "ui/MsgBox.h"

namespace {

using twi::CommandKind;

TEST(CommandLine, GoodLinesNameTheCommandAndTheProgramAsTheListShowsIt) {
  struct Case {
    std::vector<std::string> arguments;
    CommandKind kind;
    std::string program;
    bool withProgram, quiet;
    std::string server;
    int wait;
  };
  const Case cases[] = {
      {{}, CommandKind::Window, "", false, false, "", 600},
      {{"/scan", "QVOICE2"}, CommandKind::Scan, "qVoice2", false, false, "", 600},
      {{"-SCAN", "nudge me now", "/Quiet"}, CommandKind::Scan, "Nudge Me Now", false, true, "", 600},
      {{"/install", "qNovel4", "/program", "/quiet"}, CommandKind::Install, "qNovel4", true, true, "", 600},
      {{"/update", "/server", "http://127.0.0.1:8080/mirror"}, CommandKind::Update, "", false, false,
       "http://127.0.0.1:8080/mirror/", 600},
      {{"/update", "/server", "HTTPS://files.example.org/"}, CommandKind::Update, "", false, false,
       "HTTPS://files.example.org/", 600},
      {{"/wait", "0", "/update"}, CommandKind::Update, "", false, false, "", 0},
      {{"/?"}, CommandKind::Usage, "", false, false, "", 600},
      {{"/scan", "nothing", "/?"}, CommandKind::Usage, "", false, false, "", 600},
  };
  for (const Case& c : cases) {
    std::string line;
    for (const std::string& a : c.arguments) line += a + " ";
    twi::CommandRequest r = twi::ParseCommandLine(c.arguments);
    EXPECT_EQ(r.kind, c.kind) << line;
    EXPECT_EQ(r.error, "") << line;
    EXPECT_EQ(r.program, c.program) << line;
    EXPECT_EQ(r.withProgram, c.withProgram) << line;
    EXPECT_EQ(r.quiet, c.quiet) << line;
    EXPECT_EQ(r.server, c.server) << line;
    EXPECT_EQ(r.waitSeconds, c.wait) << line;
  }
}

TEST(CommandLine, BadLinesSayWhyAndKeepQuiet) {
  const std::string longName(10000, 'q');
  struct Case {
    std::vector<std::string> arguments;
    std::string why;
  };
  const Case cases[] = {
      {{"/frobnicate", "/quiet"}, "/FROBNICATE is not a switch of this program."},
      {{"/scan", "/quiet"}, "/SCAN needs a value after it."},
      {{"/scan"}, "/SCAN needs a value after it."},
      {{"/scan", "qVoice3", "/quiet"}, "\"qVoice3\" is not a program of the list."},
      {{"/scan", "q\"Voice2", "/quiet"}, "\"q\"Voice2\" is not a program of the list."},
      {{"/scan", " qVoice2", "/quiet"}, "\" qVoice2\" is not a program of the list."},
      {{"/scan", longName, "/quiet"}, "An argument is longer than the longest one read."},
      {{"/scan", "qVoice2", "/scan", "qVoice2", "/quiet"}, "/SCAN is given more than once."},
      {{"/quiet", "/update", "/QUIET"}, "/QUIET is given more than once."},
      {{"/scan", "qVoice2", "/install", "qVoice2", "/quiet"},
       "Only one of /scan, /install and /update can be given."},
      {{"/program", "/quiet"}, "No command: give /scan, /install or /update."},
      {{"/scan", "qVoice2", "/program", "/quiet"}, "/program goes with /install."},
      {{"qVoice2", "/quiet"}, "\"qVoice2\" is not a switch."},
      {{"/update", "/server", "127.0.0.1", "/quiet"}, "\"127.0.0.1\" is not a server address."},
      {{"/update", "/wait", "-1", "/quiet"}, "/WAIT needs a value after it."},
      {{"/update", "/wait", "86401", "/quiet"}, "\"86401\" is not a number of seconds."},
      {{"/update", "/wait", "ten", "/quiet"}, "\"ten\" is not a number of seconds."},
  };
  for (const Case& c : cases) {
    twi::CommandRequest r = twi::ParseCommandLine(c.arguments);
    EXPECT_EQ(r.kind, CommandKind::Usage) << c.why;
    EXPECT_EQ(r.error, c.why);
    bool quiet = false;
    for (const std::string& a : c.arguments) quiet = quiet || a == "/quiet" || a == "/QUIET";
    EXPECT_EQ(r.quiet, quiet) << c.why;
  }
}

TEST(CommandLine, ServerTakesOnlyAnHttpAddressOfAHost) {
  const std::pair<std::string, std::string> cases[] = {
      {"http://127.0.0.1/", "http://127.0.0.1/"},
      {"http://mirror.school.example:8080", "http://mirror.school.example:8080/"},
      {"https://m.example/tarnwick/files", "https://m.example/tarnwick/files/"},
      {"ftp://127.0.0.1/", ""},
      {"http://", ""},
      {"http:///x/", ""},
      {"http://user:pw@127.0.0.1/", ""},
      {"http://127.0.0.1:0/", ""},
      {"http://127.0.0.1:65536/", ""},
      {"http://127.0.0.1:80x/", ""},
      {"http://host name/", ""},
      {"http://host/a b/", ""},
      {"http://host/a\"b/", ""},
      {"http://host/?q=1", ""},
      {"http://-host/", ""},
      {"http://host\\share/", ""},
      {"http://" + std::string(2000, 'a') + "/", ""},
      {"C:\\mirror", ""},
  };
  for (const auto& [address, base] : cases) EXPECT_EQ(twi::ServerBaseOf(address), base) << address;
}

TEST(CommandLine, ArgumentsAreSplitAsWindowsSplitsThem) {
  EXPECT_EQ(twi::ArgumentsOf(L"\"C:\\Tarn wick\\TWInstall.exe\" /scan \"Nudge Me Now\" /quiet"),
            (std::vector<std::string>{"/scan", "Nudge Me Now", "/quiet"}));
  EXPECT_EQ(twi::ArgumentsOf(L"TWInstall.exe /scan \"q\\\"Voice2\""),
            (std::vector<std::string>{"/scan", "q\"Voice2"}));
  EXPECT_TRUE(twi::ArgumentsOf(L"TWInstall.exe").empty());
}

TEST(CommandLine, TheUsageNamesEverySwitchAndEveryProgram) {
  const std::string usage = twi::UsageText();
  for (const char* part : {"/scan", "/install", "/program", "/update", "/quiet", "/server", "/wait",
                           "/?", "3010", "1603", "1618", "87", "\"Nudge Me Now\"", "\"qVoice2\""})
    EXPECT_NE(usage.find(part), std::string::npos) << part;
}

TEST(QuietAnswers, EachBoxGetsItsDefaultButton) {
  const std::pair<int, int> cases[] = {
      {ui::vbOKOnly, ui::vbOK},
      {ui::vbOKCancel, ui::vbOK},
      {ui::vbYesNo, ui::vbYes},
      {ui::vbYesNo | ui::vbDefaultButton2, ui::vbNo},
      {ui::vbYesNoCancel | ui::vbExclamation, ui::vbYes},
      {ui::vbYesNoCancel | ui::vbDefaultButton3, ui::vbCancel},
      {ui::vbRetryCancel, ui::vbRetry},
      {ui::vbRetryCancel | ui::vbDefaultButton2, ui::vbCancel},
      {2, ui::vbAbort},  // Abort, Retry, Ignore
  };
  for (const auto& [style, answer] : cases) EXPECT_EQ(ui::DefaultAnswer(style), answer) << style;
}

// One mutex per program folder, whatever the letters' case of its path.
TEST(RunLock, OneNamePerProgramFolder) {
  const std::wstring a = twi::RunLock::NameFor("C:\\Tarn wick\\Install");
  EXPECT_EQ(a, twi::RunLock::NameFor("c:\\TARN WICK\\install"));
  EXPECT_NE(a, twi::RunLock::NameFor("C:\\Tarn wick\\Install2"));
  EXPECT_NE(a, twi::RunLock::NameFor("D:\\Tarn wick\\Install"));
  EXPECT_EQ(a.rfind(L"Global\\TWInstall.Run.", 0), 0u);
  EXPECT_EQ(a.find(L'\\', 7), std::wstring::npos);
  EXPECT_EQ(a.size(), 21u + 16u);
}

}  // namespace
