#pragma once
// The two forms of an error report that the error report window hands to the
// user: a mail link for the user's mail program, and the full report written
// to FullLog.txt with instructions for sending it by hand.
#include <string>

namespace twi {

// What a report is made of: the window's texts and the program's facts.
struct ErrorReport {
  std::string errorText;         // the error shown (txtError)
  std::string comments;          // the user's comments (txtUserMessage)
  bool commentsEntered = false;  // the comment box was clicked or changed
  std::string logText;           // the log's text as shown (txtLog)
  std::string logFilename;       // the log file's full path
  std::string version;           // the program version ("1.2.99")
  std::string osName;            // the Windows name ("WinXP")
};

// A text escaped for the body of a mail link: "%", "?", "&" and "#" as %25,
// %3F, %26 and %23 (in that order, so added escapes are not escaped again);
// every line break (CR LF, LF or CR; two CRs in a row count as one) as
// "%0D%0A". Blanks and every other character stay as they are.
std::string EscapeForMailLink(std::string text);

// "mailto:<support>?subject=Bug%20Report%20(...)&body=<at most 400 characters>
// &attachment=""": the body is a header naming the log file to attach, the
// escaped details (with the comments first when entered) and the escaped log.
std::string MailLink(const ErrorReport& report);

// The report for FullLog.txt: the instruction block (between two lines of 75
// dashes) followed by the header, the error, the comments when entered and the
// log, unescaped and complete.
std::string FullReportText(const ErrorReport& report);

// Longest body a mail link carries, in characters.
constexpr std::size_t kMailBodyLimit = 400;

}  // namespace twi
