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
  // Task-modal without an owner: every window of the program waits for the box.
  UINT flags = static_cast<UINT>(style) | MB_TASKMODAL | MB_SETFOREGROUND;
  Forms().EnterModal();
  int result = MessageBoxW(nullptr, twi::ToWide(call.prompt).c_str(),
                           twi::ToWide(call.title).c_str(), flags);
  Forms().LeaveModal();
  return result;
}

}  // namespace ui
