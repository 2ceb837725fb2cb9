#pragma once
// Message boxes: one text, the application's title, OK (or Yes/No, Retry/Cancel,
// Yes/No/Cancel) and no icon unless asked. Tests install an answerer that sees
// each box and chooses the button without a person.
#include <functional>
#include <string>

namespace ui {

enum MsgBoxStyle {
  vbOKOnly = 0,
  vbOKCancel = 1,
  vbYesNoCancel = 3,
  vbYesNo = 4,
  vbRetryCancel = 5,
  vbCritical = 16,
  vbQuestion = 32,
  vbExclamation = 48,
  vbInformation = 64,
  vbDefaultButton2 = 256,
  vbDefaultButton3 = 512,
};

enum MsgBoxResult { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

struct MsgBoxCall {
  std::string prompt;
  int style = vbOKOnly;
  std::string title;
};

using MsgBoxAnswerer = std::function<int(const MsgBoxCall&)>;

// Shows the box and blocks until it is closed; title "" means the application's title.
int MsgBox(const std::string& prompt, int style = vbOKOnly, const std::string& title = "");
// Installs (or, with nullptr, removes) the answerer used instead of a real box.
void SetMsgBoxAnswerer(MsgBoxAnswerer answerer);
// The real box, whatever answerer is installed (an answerer that lets some boxes
// through to the person shows them with this).
int ShowMsgBoxWindow(const MsgBoxCall& call);
// The button a box of `style` answers when the person just presses Enter: its
// default button (the second or third when the style names it, else the first).
int DefaultAnswer(int style);

}  // namespace ui
