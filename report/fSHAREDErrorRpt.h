#pragma once
// The error report window ("Error Reporter"): shows an error the user must
// act on with the program's log, takes the user's comments, and offers the
// report as a mail link to the maker's support address or as the text file
// FullLog.txt; "Help" opens the program's help page. The log frame and the
// comment frame start hidden, each in the place of the button that shows it.
#include <string>

#include "report/ErrorReport.h"
#include "ui/Button.h"
#include "ui/Form.h"
#include "ui/Frame.h"
#include "ui/Label.h"
#include "ui/TextBox.h"

namespace twi {

class fSHAREDErrorRpt : public ui::Form {
 public:
  // Shown in place of the log that exists but could not be read (held by another program).
  static constexpr const char* kLogNotReadable = "The log file could not be read.";

  fSHAREDErrorRpt();

  // Fills the window for `errorMessage` and shows it modally; returns when the
  // user closed it (the window is then hidden, not unloaded).
  void ShowError(const std::string& errorMessage, const std::string& helpIndex);

  bool CommentsEntered() const { return commentsEntered_; }
  const std::string& HelpTopic() const { return helpTopic_; }
  // The report as the window holds it now.
  ErrorReport Report() const;
  // Where "View Error Report" writes the report: FullLog.txt in the system's
  // temporary folder.
  std::string FullLogPath() const;

  ui::Label Label1;
  ui::Frame Frame1, Frame2, Frame3;
  ui::TextBox txtError, txtLog, txtUserMessage;
  ui::Button cmdShowComments, cmdViewLog, cmdViewReport, cmdEmail, cmdHelp, cmdExit;

 protected:
  void CreateControls() override;
  void Form_Load() override;
  void Form_QueryUnload(bool& cancel, ui::CloseReason reason) override;

 private:
  void cmdEmail_Click();
  void cmdViewReport_Click();
  void cmdHelp_Click();

  std::string helpTopic_;
  bool commentsEntered_ = false;
};

}  // namespace twi
