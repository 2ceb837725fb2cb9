#include "report/ErrorReport.h"

#include "base/AppInfo.h"
#include "base/TextConv.h"
#include "sys/cSharedFileSubs.h"

namespace twi {
namespace {

constexpr const char* kLineBreak = "%0D%0A";

std::string Header(const ErrorReport& report) {
  return std::string("Error Report: ") + AppTitle() + " " + report.version + ", " + report.osName;
}

// The first `limit` characters (UTF-16 units, as the mail program counts them;
// a character outside the basic plane is not split).
std::string FirstCharacters(const std::string& text, std::size_t limit) {
  std::wstring wide = ToWide(text);
  if (wide.size() <= limit) return text;
  std::size_t cut = limit;
  if (cut > 0 && wide[cut - 1] >= 0xD800 && wide[cut - 1] <= 0xDBFF) --cut;
  return ToUtf8(std::wstring_view(wide).substr(0, cut));
}

}  // namespace

std::string EscapeForMailLink(std::string text) {
  text = ReplaceAll(std::move(text), "%", "%25");
  text = ReplaceAll(std::move(text), "?", "%3F");
  text = ReplaceAll(std::move(text), "&", "%26");
  text = ReplaceAll(std::move(text), "#", "%23");
  text = ReplaceAll(std::move(text), "\n", "\r");
  text = ReplaceAll(std::move(text), "\r\r", "\r");
  return ReplaceAll(std::move(text), "\r", kLineBreak);
}

std::string MailLink(const ErrorReport& report) {
  std::string header = Header(report) + " (Please click Attach and add the file " +
                       TheFileSubs().FileOnly(report.logFilename) + ")";
  std::string details = report.commentsEntered
                            ? "User: " + report.comments + "\r\n" + report.errorText
                            : report.errorText;
  std::string body = header + kLineBreak + kLineBreak + EscapeForMailLink(details) + kLineBreak +
                     kLineBreak + EscapeForMailLink(report.logText);
  body = FirstCharacters(body, kMailBodyLimit);
  std::string subject =
      ReplaceAll(std::string("Bug Report (") + AppTitle() + " - " + report.version + ")", " ",
                 "%20");
  return "mailto:" + SupportEmail() + "?subject=" + subject + "&body=" + body +
         "&attachment=\"\"";
}

std::string FullReportText(const ErrorReport& report) {
  const std::string dashes(75, '-');
  std::string text = dashes + "\r\n" +
                     "If the 'submit report' button doesn't work on your system, open an email\r\n" +
                     "to '" + SupportEmail() + "' and paste the following text into it.\r\n" +
                     "\r\n" + "Submitting a bug report helps improve the software.\r\n" + dashes +
                     "\r\n" + "\r\n";
  text += Header(report) + "\r\n\r\n" + report.errorText;
  if (report.commentsEntered) text += "\r\n\r\n" + report.comments;
  text += "\r\n\r\n" + report.logText;
  return text;
}

}  // namespace twi
