#include "ui/MsgBox.h"

#include <windows.h>

#include "base/AppInfo.h"
#include "base/TextConv.h"
#include "ui/Forms.h"

namespace ui {
namespace {

MsgBoxAnswerer& Answerer() {
  static MsgBoxAnswerer answerer;
  return answerer;
}

}  // namespace

void SetMsgBoxAnswerer(MsgBoxAnswerer answerer) { Answerer() = std::move(answerer); }

int MsgBox(const std::string& prompt, int style, const std::string& title) {
  MsgBoxCall call{prompt, style, title.empty() ? std::string(twi::AppTitle()) : title};
  if (Answerer()) return Answerer()(call);
  return ShowMsgBoxWindow(call);
}

int ShowMsgBoxWindow(const MsgBoxCall& call) {
  const int style = call.style;
  // Task-modal without an owner: every window of the program waits for the box.
  UINT flags = static_cast<UINT>(style) | MB_TASKMODAL | MB_SETFOREGROUND;
  Forms().EnterModal();
  int result = MessageBoxW(nullptr, twi::ToWide(call.prompt).c_str(),
                           twi::ToWide(call.title).c_str(), flags);
  Forms().LeaveModal();
  return result;
}

int DefaultAnswer(int style) {
  // The buttons of each style, in the order the box shows them.
  static const int kButtons[6][3] = {{vbOK, vbOK, vbOK},          {vbOK, vbCancel, vbCancel},
                                     {vbAbort, vbRetry, vbIgnore}, {vbYes, vbNo, vbCancel},
                                     {vbYes, vbNo, vbNo},          {vbRetry, vbCancel, vbCancel}};
  int buttons = style & 0x0F;
  if (buttons > 5) buttons = 0;
  int place = (style & vbDefaultButton3) ? 2 : (style & vbDefaultButton2) ? 1 : 0;
  return kButtons[buttons][place];
}

}  // namespace ui
