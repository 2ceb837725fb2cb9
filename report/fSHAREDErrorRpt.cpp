#include "report/fSHAREDErrorRpt.h"

#include "diag/TrapToLog.h"
#include "diag/cSharedLogging.h"
#include "report/cSharedHelp.h"
#include "sys/SystemFolders.h"
#include "sys/cSHAREDSubs.h"
#include "sys/cSharedFileSubs.h"
#include "sys/cSharedWWW.h"
#include "base/cSharedOSInfo.h"

namespace twi {
namespace {

constexpr const char* kModule = "fSHAREDErrorRpt";

// Layout in twips: the error details and the log side by side and of equal
// height, the comments below both, one row of buttons at the bottom. The log's
// and the comments' buttons lie where their hidden frames will appear.
constexpr ui::TwipsRect kFrame1{120, 420, 4620, 2895};
constexpr ui::TwipsRect kFrame2{4860, 420, 4620, 2895};
constexpr ui::TwipsRect kFrame3{120, 3435, 9360, 2055};
constexpr ui::TwipsRect kBoxInFrame{120, 255, 4380, 2520};
constexpr int kButtonTop = 5640;
constexpr int kButtonHeight = 435;

}  // namespace

fSHAREDErrorRpt::fSHAREDErrorRpt() : ui::Form("Error Reporter", 9600, 6255) {}

void fSHAREDErrorRpt::CreateControls() {
  Label1.Create(*this, "An error has ocurred:", {120, 120, 4620, 255});

  Frame1.Create(*this, "Error Details", kFrame1);
  txtError.Create(Frame1, kBoxInFrame, {.multiLine = true, .readOnly = true, .verticalScroll = true});
  txtError.SetToolTipText("This is the error which ocurred");

  cmdViewLog.Create(*this, "View Log File", {6315, 1650, 1710, 435});
  cmdViewLog.SetToolTipText("Click this button to view the log file");
  Frame2.Create(*this, "Log", kFrame2, {.visible = false});
  txtLog.Create(Frame2, kBoxInFrame, {.multiLine = true, .readOnly = true, .verticalScroll = true});
  txtLog.SetToolTipText("This is the content of the program's log file");

  cmdShowComments.Create(*this, "Enter Comments", {3945, 4245, 1710, 435});
  cmdShowComments.SetToolTipText(
      "If you want to add any comments before submitting an error report, click here.");
  Frame3.Create(*this, "Enter your own comments here", kFrame3, {.visible = false});
  txtUserMessage.Create(Frame3, {120, 255, 9120, 1680}, {.multiLine = true, .verticalScroll = true});
  txtUserMessage.SetToolTipText("These comments will be added to your error report.");

  cmdExit.Create(*this, "Exit", {120, kButtonTop, 1455, kButtonHeight});
  cmdHelp.Create(*this, "Help", {1695, kButtonTop, 1455, kButtonHeight});
  cmdViewReport.Create(*this, "View Error Report", {3270, kButtonTop, 2055, kButtonHeight});
  cmdViewReport.SetToolTipText("If 'Submit Error' doesn't work, click here");
  cmdEmail.Create(*this, "Submit Error Report", {5445, kButtonTop, 2055, kButtonHeight});
  cmdEmail.SetToolTipText("You will get a chance to preview the report before sending.");

  cmdShowComments.OnClick = [this] {
    Frame3.SetVisible(true);
    cmdShowComments.SetVisible(false);
  };
  cmdViewLog.OnClick = [this] {
    Frame2.SetVisible(true);
    cmdViewLog.SetVisible(false);
  };
  txtUserMessage.OnChange = [this] { commentsEntered_ = true; };
  txtUserMessage.OnClick = [this] { commentsEntered_ = true; };
  cmdExit.OnClick = [this] { Hide(); };
  cmdHelp.OnClick = [this] { cmdHelp_Click(); };
  cmdEmail.OnClick = [this] { cmdEmail_Click(); };
  cmdViewReport.OnClick = [this] { cmdViewReport_Click(); };
}

void fSHAREDErrorRpt::Form_Load() { Frame2.SetCaption(TheLog().CurrentLogFilename()); }

void fSHAREDErrorRpt::Form_QueryUnload(bool& cancel, ui::CloseReason reason) {
  // The close box hides the window as "Exit" does; whoever showed it unloads it.
  if (reason == ui::CloseReason::ControlMenu) {
    cancel = true;
    Hide();
  }
}

void fSHAREDErrorRpt::ShowError(const std::string& errorMessage, const std::string& helpIndex) {
  TrapToLog("ShowError", kModule, [&] { Load(); });
  helpTopic_ = helpIndex;
  TrapToLog("ShowError", kModule, [&] { txtError.SetText(errorMessage); });
  commentsEntered_ = false;
  TrapToLog("ShowError", kModule, [&] {
    // Actions still pending in the log are not in the file, so not shown.
    std::string logFile = TheLog().CurrentLogFilename();
    std::string text;
    if (!TheFileSubs().FileExists(logFile))
      txtLog.SetText("No log file");
    else if (TheFileSubs().LoadTextFile(logFile, text))
      txtLog.SetText(text);
    else  // there, but another program holds it without read sharing
      txtLog.SetText(kLogNotReadable);
  });
  TrapToLog("ShowError", kModule, [&] { Show(true); });
}

ErrorReport fSHAREDErrorRpt::Report() const {
  ErrorReport report;
  report.errorText = txtError.Text();
  report.comments = txtUserMessage.Text();
  report.commentsEntered = commentsEntered_;
  report.logText = txtLog.Text();
  report.logFilename = TheLog().CurrentLogFilename();
  report.version = TheSubs().AppVersion();
  report.osName = TheOSInfo().fOSName();
  return report;
}

std::string fSHAREDErrorRpt::FullLogPath() const {
  return cSharedGetSpecialFolder().SystemTempFolder(hwnd()) + "FullLog.txt";
}

void fSHAREDErrorRpt::cmdEmail_Click() {
  std::string link;
  TrapToLog("cmdEmail_Click", kModule, [&] { link = MailLink(Report()); });
  // The report window stays open; a mail program that refuses gives no message.
  TrapToLog("cmdEmail_Click", kModule, [&] { WebSiteVisit(hwnd(), link); });
}

void fSHAREDErrorRpt::cmdViewReport_Click() {
  std::string text, path;
  TrapToLog("cmdViewReport_Click", kModule, [&] { text = FullReportText(Report()); });
  TrapToLog("cmdViewReport_Click", kModule, [&] { path = FullLogPath(); });
  TrapToLog("cmdViewReport_Click", kModule, [&] { TheFileSubs().WriteTextFile(path, text); });
  TrapToLog("cmdViewReport_Click", kModule, [&] { TheFileSubs().RunFile(path); });
}

void fSHAREDErrorRpt::cmdHelp_Click() {
  TrapToLog("cmdHelp_Click", kModule, [&] { TheHelp().ShowHelp(hwnd(), helpTopic_); });
}

}  // namespace twi
