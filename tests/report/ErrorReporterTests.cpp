// The error display and the "Error Reporter" window: what it shows, its
// layout, the comments flag, both ways to send the report (the mail link
// handed to the shell, FullLog.txt written and opened), help, and closing.
#include <gtest/gtest.h>

#include <optional>

#include "base/AppInfo.h"
#include "base/TextConv.h"
#include "base/cSharedOSInfo.h"
#include "diag/cSharedLogging.h"
#include "report/cSHAREDShowError.h"
#include "report/cSharedHelp.h"
#include "report/fSHAREDErrorRpt.h"
#include "support/ModalForms.h"
#include "support/ShellRecorder.h"
#include "support/TestSupport.h"
#include "support/UserActions.h"
#include "sys/SystemFolders.h"
#include "sys/cSHAREDSubs.h"

namespace {

using twi::fSHAREDErrorRpt;

// Types into a text box as the keyboard does (the box raises its change event).
void Type(ui::TextBox& box, const std::string& text) {
  for (wchar_t c : twi::ToWide(text)) SendMessageW(box.hwnd(), WM_CHAR, c, 0);
}
void Backspace(ui::TextBox& box, int times) {
  for (int i = 0; i < times; ++i) SendMessageW(box.hwnd(), WM_CHAR, VK_BACK, 0);
}

bool Inside(const ui::TwipsRect& inner, const ui::TwipsRect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top &&
         inner.left + inner.width <= outer.left + outer.width &&
         inner.top + inner.height <= outer.top + outer.height;
}

// A log file of this program with a known line.
std::string StartLog() {
  twi::TheLog().LogEvent("Report tests started", true);
  return twi::TheLog().CurrentLogFilename();
}

TEST(ErrorReporter, CaptionsAndToolTips) {
  fSHAREDErrorRpt window;
  window.Load();
  EXPECT_EQ(window.Caption(), "Error Reporter");
  struct Case {
    const ui::Control* control;
    const char* caption;
    const char* tip;
  } cases[] = {
      {&window.Label1, "An error has ocurred:", ""},
      {&window.Frame1, "Error Details", ""},
      {&window.txtError, "", "This is the error which ocurred"},
      {&window.txtLog, "", "This is the content of the program's log file"},
      {&window.Frame3, "Enter your own comments here", ""},
      {&window.txtUserMessage, "", "These comments will be added to your error report."},
      {&window.cmdShowComments, "Enter Comments",
       "If you want to add any comments before submitting an error report, click here."},
      {&window.cmdViewLog, "View Log File", "Click this button to view the log file"},
      {&window.cmdViewReport, "View Error Report", "If 'Submit Error' doesn't work, click here"},
      {&window.cmdEmail, "Submit Error Report",
       "You will get a chance to preview the report before sending."},
      {&window.cmdHelp, "Help", ""},
      {&window.cmdExit, "Exit", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    EXPECT_EQ(c.control->Caption(), c.caption);
    EXPECT_EQ(c.control->ToolTipText(), c.tip);
  }
  // The log frame's caption is the log file's path once the window is loaded.
  EXPECT_EQ(window.Frame2.Caption(), twi::TheLog().CurrentLogFilename());
  window.Unload();
}

TEST(ErrorReporter, LayoutWithTheHiddenFramesInTheirButtonsPlaces) {
  fSHAREDErrorRpt window;
  window.Load();
  const ui::TwipsRect &f1 = window.Frame1.Rect(), &f2 = window.Frame2.Rect(),
                      &f3 = window.Frame3.Rect();
  EXPECT_LT(window.Label1.Top() + window.Label1.Height(), f1.top + 1);
  EXPECT_EQ(f1.top, f2.top);
  EXPECT_EQ(f1.height, f2.height);
  EXPECT_LE(f1.left + f1.width, f2.left);  // side by side, the details on the left
  EXPECT_GE(f3.top, f1.top + f1.height);
  EXPECT_EQ(f3.left, f1.left);
  EXPECT_EQ(f3.left + f3.width, f2.left + f2.width);
  EXPECT_TRUE(Inside(window.cmdViewLog.Rect(), f2));
  EXPECT_TRUE(Inside(window.cmdShowComments.Rect(), f3));
  const ui::Button* row[] = {&window.cmdExit, &window.cmdHelp, &window.cmdViewReport,
                             &window.cmdEmail};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(row[i]->Top(), window.cmdExit.Top());
    EXPECT_GE(row[i]->Top(), f3.top + f3.height);
    EXPECT_LE(row[i]->Top() + row[i]->Height(), window.ScaleHeight());
    if (i > 0) {
      EXPECT_GE(row[i]->Left(), row[i - 1]->Left() + row[i - 1]->Width());
    }
  }
  EXPECT_LE(f2.left + f2.width, window.ScaleWidth());
  // The two frames start hidden, their buttons shown; each button swaps itself for its frame.
  EXPECT_TRUE(window.Frame1.Visible());
  EXPECT_FALSE(window.Frame2.Visible());
  EXPECT_FALSE(window.Frame3.Visible());
  EXPECT_TRUE(window.cmdViewLog.Visible());
  EXPECT_TRUE(window.cmdShowComments.Visible());
  window.cmdViewLog.Click();
  EXPECT_TRUE(window.Frame2.Visible());
  EXPECT_FALSE(window.cmdViewLog.Visible());
  window.cmdShowComments.Click();
  EXPECT_TRUE(window.Frame3.Visible());
  EXPECT_FALSE(window.cmdShowComments.Visible());
  window.Unload();
}

TEST(ErrorReporter, ShowsTheErrorAndTheLogAndEndsOnExitOrTheCloseBox) {
  std::string logFile = StartLog();
  std::string logText = twitest::ReadFileBytes(logFile);
  enum class Close { ExitButton, CloseBox };
  for (Close how : {Close::ExitButton, Close::CloseBox}) {
    fSHAREDErrorRpt window;
    bool seen = false;
    twitest::WhenShown<fSHAREDErrorRpt> act([&](fSHAREDErrorRpt& shown) {
      seen = true;
      EXPECT_EQ(&shown, &window);
      EXPECT_EQ(shown.txtError.Text(), "Error 5 in setting file. Line: X of Y");
      EXPECT_EQ(shown.txtLog.Text(), logText);
      EXPECT_EQ(shown.Frame2.Caption(), logFile);
      EXPECT_EQ(shown.HelpTopic(), "topic");
      EXPECT_FALSE(shown.CommentsEntered());
      if (how == Close::ExitButton)
        shown.cmdExit.Click();
      else
        shown.SimulateClose(ui::CloseReason::ControlMenu);
    });
    window.ShowError("Error 5 in setting file. Line: X of Y", "topic");
    EXPECT_TRUE(seen);
    EXPECT_TRUE(window.IsLoaded());  // hidden, not unloaded: the caller unloads it
    EXPECT_FALSE(window.Visible());
    window.Unload();
  }
}

// The window as a user meets it: opened by the error display for a settings
// error, the log and the comments opened in their buttons' places. (With
// TWI_JOURNEY_SHOTS set the demo keeps a picture of it for the user guide.)
TEST(ErrorReporter, AsTheUserSeesItWithTheLogAndTheCommentsOpen) {
  StartLog();
  bool seen = false;
  twitest::WhenShown<fSHAREDErrorRpt> act([&](fSHAREDErrorRpt& shown) {
    seen = true;
    shown.cmdViewLog.Click();
    shown.cmdShowComments.Click();
    Type(shown.txtUserMessage, "It happened when I closed the program.");
    EXPECT_TRUE(shown.Frame2.Visible());
    EXPECT_TRUE(shown.Frame3.Visible());
    EXPECT_FALSE(shown.cmdViewLog.Visible());
    EXPECT_FALSE(shown.cmdShowComments.Visible());
    EXPECT_TRUE(shown.CommentsEntered());
    twitest::PumpFor(std::chrono::milliseconds(300));
    shown.cmdExit.Click();
  });
  twi::TheShowError().ShowErr(
      "Error 13 in setting file. Line: LASTUPDATECHECK,12/Foo/2026 of "
      "C:\\Program Files\\Tarnwick\\TWInstaller.ini");
  EXPECT_TRUE(seen);
}

// A missing log is "No log file"; one that is there but that another program holds
// without read sharing is said to be unreadable, not missing. The caption shows the path.
TEST(ErrorReporter, NoLogFileOrAnUnreadableOneShownAsSuchWithThePathAsCaption) {
  std::string realLog = StartLog();
  for (bool exists : {false, true}) {
    SCOPED_TRACE(exists ? "held without read sharing" : "missing");
    twitest::ScratchFolder dir;
    std::string log = dir.File("log.txt");
    std::optional<twitest::FileHeldOpen> holder;
    if (exists) {
      twitest::WriteFileBytes(log, "1 12:00:00, Log file created \r\n");
      holder.emplace(log, 0);
      ASSERT_TRUE(holder->Held());
    }
    twi::TheLog().SetLogFilename(log);
    fSHAREDErrorRpt window;
    twitest::WhenShown<fSHAREDErrorRpt> act([&](fSHAREDErrorRpt& shown) {
      EXPECT_EQ(shown.txtLog.Text(), exists ? fSHAREDErrorRpt::kLogNotReadable : "No log file");
      EXPECT_EQ(shown.Frame2.Caption(), log);
      shown.cmdExit.Click();
    });
    window.ShowError("E", "");
    twi::TheLog().SetLogFilename(realLog);
    EXPECT_TRUE(act.Done());
  }
}

TEST(ErrorReporter, CommentsCountAsEnteredOnceClickedOrChanged) {
  struct Case {
    const char* name;
    std::function<void(fSHAREDErrorRpt&)> act;
    bool entered;
    const char* comments;
  } cases[] = {
      {"nothing", [](fSHAREDErrorRpt&) {}, false, ""},
      {"typed", [](fSHAREDErrorRpt& w) { Type(w.txtUserMessage, "It broke"); }, true, "It broke"},
      {"typed and deleted",
       [](fSHAREDErrorRpt& w) {
         Type(w.txtUserMessage, "ab");
         Backspace(w.txtUserMessage, 2);
       },
       true, ""},
      {"clicked",
       [](fSHAREDErrorRpt& w) { SendMessageW(w.txtUserMessage.hwnd(), WM_LBUTTONUP, 0, 0); },
       true, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fSHAREDErrorRpt window;
    twi::ErrorReport report;
    twitest::WhenShown<fSHAREDErrorRpt> act([&](fSHAREDErrorRpt& shown) {
      shown.cmdShowComments.Click();
      c.act(shown);
      report = shown.Report();
      shown.cmdExit.Click();
    });
    window.ShowError("E", "");
    EXPECT_EQ(window.CommentsEntered(), c.entered);
    EXPECT_EQ(report.commentsEntered, c.entered);
    EXPECT_EQ(report.comments, c.comments);
    window.Unload();
  }
}

// The suite's own program folder holds no help page unless a test puts one there.
class HelpPage : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = twi::AppFolder() + "\\Help";
    page = folder + "\\Index.htm";
  }
  void TearDown() override {
    DeleteFileW(twi::ToWide(page).c_str());
    RemoveDirectoryW(twi::ToWide(folder).c_str());
  }
  std::string folder, page;
};

TEST_F(HelpPage, TheProgramFolderOfTheBuildHasTheHelpPage) {
  std::string shipped = twitest::ReadFileBytes(twitest::BinDir() + "\\Help\\Index.htm");
  for (const char* words : {"Scan Runtimes", "Determine latest version", "Proxy Settings",
                            "Manual Settings", "TWInstaller.ini", "log.txt", "FullLog.txt"})
    EXPECT_NE(shipped.find(words), std::string::npos) << words;
}

TEST_F(HelpPage, AMissingPageIsReportedWithItsPath) {
  EXPECT_EQ(twi::cSharedHelp::HelpFile(), page);
  twitest::MsgBoxRecorder boxes;
  twi::TheHelp().ShowHelp(nullptr, "ignored topic");
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].prompt, "Cannot find help file " + page);
  EXPECT_EQ(boxes.Calls()[0].style, ui::vbOKOnly);
  EXPECT_EQ(boxes.Calls()[0].title, twi::AppTitle());
}

TEST_F(HelpPage, ThePageIsOpenedByTheShellAlsoFromTheReportWindow) {
  CreateDirectoryW(twi::ToWide(folder).c_str(), nullptr);
  twitest::WriteFileBytes(page, "<html>help</html>");
  twitest::ShellRecorder shell;
  twi::TheHelp().ShowHelp(nullptr);
  std::vector<std::string> opened = shell.Opened(1);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_TRUE(twi::ContainsNoCase(opened[0], page)) << opened[0];

  fSHAREDErrorRpt window;
  twitest::WhenShown<fSHAREDErrorRpt> act([&](fSHAREDErrorRpt& shown) {
    shown.cmdHelp.Click();
    shown.cmdExit.Click();
  });
  window.ShowError("E", "");
  opened = shell.Opened(2);
  ASSERT_EQ(opened.size(), 2u) << testing::PrintToString(opened);
  EXPECT_TRUE(twi::ContainsNoCase(opened[1], page)) << opened[1];
  window.Unload();
}

TEST(ShowErr, BothReportsFromAFreshWindowThatIsUnloadedAfter) {
  std::string logFile = StartLog();
  std::string tempFolder = twi::cSharedGetSpecialFolder().SystemTempFolder();
  std::string fullLog = tempFolder + "FullLog.txt";
  DeleteFileW(twi::ToWide(fullLog).c_str());
  twitest::ShellRecorder shell;
  const std::string error = "5 - Invalid procedure call or argument in SaveSettings";
  twi::ErrorReport expected;
  int shown = 0;
  twitest::WhenShown<fSHAREDErrorRpt> act([&](fSHAREDErrorRpt& window) {
    ++shown;
    window.cmdShowComments.Click();
    Type(window.txtUserMessage, "I clicked Exit & it said 100%?");
    expected = window.Report();
    window.cmdEmail.Click();
    window.cmdViewReport.Click();
    EXPECT_TRUE(window.Visible());  // both leave the window open
    window.cmdExit.Click();
  });
  twi::TheShowError().ShowErr(error);
  EXPECT_EQ(shown, 1);
  // The window is gone after ShowErr.
  for (ui::Form* form : ui::Forms().All()) EXPECT_EQ(dynamic_cast<fSHAREDErrorRpt*>(form), nullptr);

  EXPECT_EQ(expected.errorText, error);
  EXPECT_TRUE(expected.commentsEntered);
  EXPECT_EQ(expected.logText, twitest::ReadFileBytes(logFile));
  EXPECT_EQ(expected.version, twi::TheSubs().AppVersion());
  EXPECT_EQ(expected.osName, twi::TheOSInfo().fOSName());
  std::vector<std::string> opened = shell.Opened(2);
  ASSERT_EQ(opened.size(), 2u) << testing::PrintToString(opened);
  // The two helpers run at the same time: either may record first.
  if (opened[1].starts_with("mailto:")) std::swap(opened[0], opened[1]);
  EXPECT_EQ(opened[0], twi::MailLink(expected));
  EXPECT_NE(opened[0].find("User: I clicked Exit %26 it said 100%25%3F%0D%0A5 - Invalid"),
            std::string::npos);
  EXPECT_TRUE(twi::ContainsNoCase(opened[1], fullLog)) << opened[1];
  EXPECT_EQ(twitest::ReadFileBytes(fullLog), twi::FullReportText(expected));
  DeleteFileW(twi::ToWide(fullLog).c_str());

  // A second call gets a new window.
  twitest::WhenShown<fSHAREDErrorRpt> again([&](fSHAREDErrorRpt& window) {
    EXPECT_FALSE(window.CommentsEntered());
    EXPECT_FALSE(window.Frame3.Visible());
    EXPECT_EQ(window.txtUserMessage.Text(), "");
    window.cmdExit.Click();
  });
  twi::TheShowError().ShowErr("second");
  EXPECT_TRUE(again.Done());
}

}  // namespace
