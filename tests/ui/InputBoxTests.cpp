// The text-input box as a person meets it (a real modal window: type, then OK
// or Cancel), its answerer hook, and the load hook of control arrays.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/TextConv.h"
#include "support/TestSupport.h"
#include "ui/Button.h"
#include "ui/ControlArray.h"
#include "ui/Form.h"
#include "ui/InputBox.h"
#include "ui/Timer.h"

namespace {

struct ChildSearch {
  const wchar_t* cls;
  const wchar_t* text;
  HWND found;
};

BOOL CALLBACK MatchChild(HWND hwnd, LPARAM data) {
  auto* s = reinterpret_cast<ChildSearch*>(data);
  wchar_t name[32] = {}, caption[64] = {};
  GetClassNameW(hwnd, name, 32);
  GetWindowTextW(hwnd, caption, 64);
  if (lstrcmpiW(name, s->cls) == 0 && (!s->text || lstrcmpW(caption, s->text) == 0)) {
    s->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND ChildOfClass(HWND parent, const wchar_t* cls, const wchar_t* text) {
  ChildSearch search{cls, text, nullptr};
  EnumChildWindows(parent, &MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Shows a real box; while it is up, types `typed` into it and presses `button`.
std::string AnswerRealBox(const std::string& typed, const wchar_t* button, std::string& promptSeen) {
  ui::SetInputBoxAnswerer(nullptr);
  ui::Timer timer;
  timer.SetInterval(50);
  timer.OnTimer = [&] {
    HWND box = FindWindowW(nullptr, L"Password");
    if (!box || !IsWindowVisible(box)) return;
    timer.SetEnabled(false);
    HWND label = ChildOfClass(box, L"Static", nullptr);
    wchar_t text[128] = {};
    if (label) GetWindowTextW(label, text, 128);
    promptSeen = twi::ToUtf8(text);
    SetWindowTextW(ChildOfClass(box, L"Edit", nullptr), twi::ToWide(typed).c_str());
    PostMessageW(ChildOfClass(box, L"Button", button), BM_CLICK, 0, 0);
  };
  timer.SetEnabled(true);
  return ui::InputBox("Please Enter The Password!", "Password", "preset");
}

TEST(InputBox, ARealBoxAnswersWhatWasTypedOrNothingOnCancel) {
  std::string prompt;
  EXPECT_EQ(AnswerRealBox("s3cret", L"OK", prompt), "s3cret");
  EXPECT_EQ(prompt, "Please Enter The Password!");
  EXPECT_EQ(AnswerRealBox("typed but cancelled", L"Cancel", prompt), "");
  EXPECT_EQ(FindWindowW(nullptr, L"Password"), nullptr);  // the box is gone
}

TEST(InputBox, TestsAnswerThroughTheHook) {
  std::vector<ui::InputBoxCall> calls;
  ui::SetInputBoxAnswerer([&](const ui::InputBoxCall& call) {
    calls.push_back(call);
    return std::string("answer");
  });
  EXPECT_EQ(ui::InputBox("Question?"), "answer");
  ui::SetInputBoxAnswerer(nullptr);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].prompt, "Question?");
  EXPECT_EQ(calls[0].title, "Tarnwick Software Install Center");
}

class ArrayForm : public ui::Form {
 public:
  ArrayForm() : ui::Form("Array", 3000, 2000) {}
  ui::ControlArray<ui::Button> buttons;

 protected:
  void CreateControls() override { buttons.Design().Create(*this, "B", {0, 0, 600, 300}); }
};

TEST(ControlArrays, ElementsGetTheirHandlersWithTheirIndex) {
  ArrayForm form;
  form.Load();
  std::vector<int> clicked;
  form.buttons.OnLoad = [&](int index, ui::Button& button) {
    button.OnClick = [&clicked, index] { clicked.push_back(index); };
  };
  form.buttons.Load(2);
  form.buttons.Load(5);
  SendMessageW(form.buttons[5].hwnd(), BM_CLICK, 0, 0);
  SendMessageW(form.buttons[2].hwnd(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicked, (std::vector<int>{5, 2}));
  form.Unload();
}

}  // namespace
