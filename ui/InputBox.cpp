#include "ui/InputBox.h"

#include "base/AppInfo.h"
#include "ui/Button.h"
#include "ui/Form.h"
#include "ui/Label.h"
#include "ui/TextBox.h"

namespace ui {
namespace {

InputBoxAnswerer& Answerer() {
  static InputBoxAnswerer answerer;
  return answerer;
}

// The box itself: prompt at the top left, OK and Cancel at the right, the text
// line along the bottom (the layout users know from every input box).
class InputForm : public Form {
 public:
  InputForm(const InputBoxCall& call) : Form(call.title, 6000, 1800, BorderStyle::FixedDialog),
                                        call_(call) {}
  bool accepted = false;
  std::string text;

 protected:
  void CreateControls() override {
    lblPrompt.Create(*this, call_.prompt, {120, 120, 4500, 1000});
    cmdOK.Create(*this, "OK", {4800, 120, 1080, 345});
    cmdCancel.Create(*this, "Cancel", {4800, 540, 1080, 345});
    txtInput.Create(*this, {120, 1320, 5760, 315});
    txtInput.SetText(call_.defaultText);
  }
  void Form_Load() override {
    cmdOK.OnClick = [this] {
      text = txtInput.Text();
      accepted = true;
      Hide();
    };
    cmdCancel.OnClick = [this] { Hide(); };
    CenterOnScreen();
  }

 private:
  InputBoxCall call_;
  Label lblPrompt;
  Button cmdOK, cmdCancel;
  TextBox txtInput;
};

}  // namespace

void SetInputBoxAnswerer(InputBoxAnswerer answerer) { Answerer() = std::move(answerer); }

std::string InputBox(const std::string& prompt, const std::string& title,
                     const std::string& defaultText) {
  InputBoxCall call{prompt, title.empty() ? std::string(twi::AppTitle()) : title, defaultText};
  if (Answerer()) return Answerer()(call);
  InputForm box(call);
  box.Show(true);
  std::string answer = box.accepted ? box.text : std::string();
  box.Unload();
  return answer;
}

}  // namespace ui
