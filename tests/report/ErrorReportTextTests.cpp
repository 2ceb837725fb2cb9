// The mail link and the full report, byte for byte.
#include <gtest/gtest.h>

#include "report/ErrorReport.h"
#include "support/TestSupport.h"

namespace {

using twi::ErrorReport;

ErrorReport Sample() {
  ErrorReport r;
  r.errorText = "Error 13 in setting file. Line: A,B of C:\\x\\TWInstaller.ini";
  r.logText = "1 10:00:00, Program startup\r\n";
  r.logFilename = "C:\\Program Files\\TWInstall\\log.txt";
  r.version = "1.2.99";
  r.osName = "WinXP";
  return r;
}

const std::string kHeader =
    "Error Report: Tarnwick Software Install Center 1.2.99, WinXP (Please click Attach and add "
    "the file log.txt)";
const std::string kLinkStart =
    "mailto:support@tarnwick-software.example?subject=Bug%20Report%20(Tarnwick%20Software%20"
    "Install%20Center%20-%201.2.99)&body=";
const std::string kLinkEnd = "&attachment=\"\"";

TEST(MailLink, EscapesInTheirOrderAndLineBreaksAsOnePair) {
  struct Case {
    const char* text;
    const char* escaped;
  } cases[] = {
      {"100% done? a&b #1", "100%25 done%3F a%26b %231"},
      {"%3F stays escaped once", "%253F stays escaped once"},
      {"a\r\nb", "a%0D%0Ab"},
      {"a\nb", "a%0D%0Ab"},
      {"a\rb", "a%0D%0Ab"},
      {"a\r\n\r\nb", "a%0D%0A%0D%0Ab"},
      {"a\n\nb", "a%0D%0Ab"},  // an LF-only empty line becomes two CRs, taken as one
      {"a\r\r\rb", "a%0D%0A%0D%0Ab"},
      {"  blanks  stay ", "  blanks  stay "},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(twi::EscapeForMailLink(c.text), c.escaped);
  }
}

TEST(MailLink, HeaderDetailsAndLogInTheBody) {
  ErrorReport r = Sample();
  EXPECT_EQ(twi::MailLink(r),
            kLinkStart + kHeader +
                "%0D%0A%0D%0AError 13 in setting file. Line: A,B of C:\\x\\TWInstaller.ini"
                "%0D%0A%0D%0A1 10:00:00, Program startup%0D%0A" +
                kLinkEnd);
}

TEST(MailLink, EnteredCommentsComeFirstEvenWhenEmpty) {
  ErrorReport r = Sample();
  r.errorText = "E?";
  r.logText = "L#";
  r.commentsEntered = true;
  r.comments = "It & that";
  EXPECT_EQ(twi::MailLink(r), kLinkStart + kHeader +
                                  "%0D%0A%0D%0AUser: It %26 that%0D%0AE%3F%0D%0A%0D%0AL%23" +
                                  kLinkEnd);
  r.comments = "";  // typed and deleted: still entered
  EXPECT_EQ(twi::MailLink(r),
            kLinkStart + kHeader + "%0D%0A%0D%0AUser: %0D%0AE%3F%0D%0A%0D%0AL%23" + kLinkEnd);
  r.commentsEntered = false;
  r.comments = "not entered";
  EXPECT_EQ(twi::MailLink(r), kLinkStart + kHeader + "%0D%0A%0D%0AE%3F%0D%0A%0D%0AL%23" + kLinkEnd);
}

TEST(MailLink, ALongLogMakesTheBodyExactly400Characters) {
  ErrorReport r = Sample();
  r.logText.clear();
  for (int i = 0; i < 100; ++i) r.logText += "1 10:00:00, line " + std::to_string(i) + "\r\n";
  std::string link = twi::MailLink(r);
  ASSERT_EQ(link.rfind(kLinkStart, 0), 0u);
  ASSERT_EQ(link.substr(link.size() - kLinkEnd.size()), kLinkEnd);
  std::string body = link.substr(kLinkStart.size(),
                                 link.size() - kLinkStart.size() - kLinkEnd.size());
  EXPECT_EQ(body.size(), twi::kMailBodyLimit);
  std::string full = kHeader + "%0D%0A%0D%0A" + twi::EscapeForMailLink(r.errorText) +
                     "%0D%0A%0D%0A" + twi::EscapeForMailLink(r.logText);
  EXPECT_EQ(body, full.substr(0, 400));
  // The cut counts characters, not bytes.
  r.logText = std::string(600, 'x');
  r.errorText = "Fehler: Überlauf";
  body = twi::MailLink(r);
  body = body.substr(kLinkStart.size(), body.size() - kLinkStart.size() - kLinkEnd.size());
  EXPECT_EQ(body.size(), 401u);  // "Ü" is two bytes in UTF-8, one character
}

TEST(FullReport, InstructionsThenTheReportUnescaped) {
  ErrorReport r = Sample();
  r.errorText = "100% wrong & more";
  r.logText = "line 1\r\nline 2\r\n";
  const std::string dashes(75, '-');
  const std::string instructions =
      dashes +
      "\r\nIf the 'submit report' button doesn't work on your system, open an email\r\n"
      "to 'support@tarnwick-software.example' and paste the following text into it.\r\n"
      "\r\nSubmitting a bug report helps improve the software.\r\n" +
      dashes + "\r\n\r\n";
  const std::string head = "Error Report: Tarnwick Software Install Center 1.2.99, WinXP\r\n\r\n";
  EXPECT_EQ(twi::FullReportText(r),
            instructions + head + "100% wrong & more\r\n\r\nline 1\r\nline 2\r\n");
  r.commentsEntered = true;
  r.comments = "My words";
  EXPECT_EQ(twi::FullReportText(r), instructions + head +
                                        "100% wrong & more\r\n\r\nMy words\r\n\r\nline 1\r\nline "
                                        "2\r\n");
  r = ErrorReport{};
  std::string empty = twi::FullReportText(r);
  EXPECT_EQ(empty.substr(0, 77), dashes + "\r\n");
  EXPECT_EQ(empty, instructions + "Error Report: Tarnwick Software Install Center , \r\n\r\n\r\n\r\n");
}

}  // namespace
