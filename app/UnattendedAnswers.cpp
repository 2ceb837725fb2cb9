#include "app/UnattendedAnswers.h"

#include "base/TextConv.h"
#include "diag/cSharedLogging.h"
#include "report/cSHAREDShowError.h"
#include "ui/InputBox.h"
#include "ui/MsgBox.h"

namespace twi {
namespace {

constexpr const char* kViewUpdateDetails =
    "An update is available. Would you like to view the details now?";

// A box's text as one line of the log and the console.
void Record(Console& console, const std::string& text) {
  std::string line = "Message: " + ReplaceAll(ReplaceAll(text, "\r\n", " "), "\r", " ");
  line = ReplaceAll(line, "\n", " ");
  TheLog().LogEvent(line, false);
  console.Line(line);
}

// The default button, except that the same box asked with Retry again and again
// gives up.
class QuietAnswerer {
 public:
  int Answer(const ui::MsgBoxCall& call) {
    int answer = ui::DefaultAnswer(call.style);
    repeats_ = call.prompt == lastPrompt_ ? repeats_ + 1 : 1;
    lastPrompt_ = call.prompt;
    if (answer == ui::vbRetry && repeats_ > kQuietRetries) return ui::vbCancel;
    return answer;
  }

 private:
  std::string lastPrompt_;
  int repeats_ = 0;
};

}  // namespace

void AnswerForCommandRun(bool quiet, Console& console) {
  ui::SetMsgBoxAnswerer([quiet, &console, quietAnswers = QuietAnswerer()](
                            const ui::MsgBoxCall& call) mutable {
    Record(console, call.prompt);
    if (call.prompt == kViewUpdateDetails) return static_cast<int>(ui::vbNo);
    return quiet ? quietAnswers.Answer(call) : ui::ShowMsgBoxWindow(call);
  });
  if (!quiet) return;
  ui::SetInputBoxAnswerer([&console](const ui::InputBoxCall& call) {
    Record(console, call.prompt);
    return call.defaultText;
  });
  TheShowError().Unattended = [&console](const std::string& text) { Record(console, text); };
}

}  // namespace twi
