// The forms layer: real child windows of the standard classes, twips layout,
// events, control arrays, close reasons, timers and message boxes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

#include "base/DoEvents.h"
#include "base/RuntimeError.h"
#include "base/TextConv.h"
#include "support/TestSupport.h"
#include "ui/Button.h"
#include "ui/Look.h"
#include "ui/CheckBox.h"
#include "ui/ComboBox.h"
#include "ui/ControlArray.h"
#include "ui/Form.h"
#include "ui/Forms.h"
#include "ui/Frame.h"
#include "ui/Label.h"
#include "ui/OptionButton.h"
#include "ui/PictureBox.h"
#include "ui/TextBox.h"
#include "ui/Timer.h"

namespace {

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

class SampleForm : public ui::Form {
 public:
  SampleForm() : ui::Form("Sample", 6000, 4000) {}
  ui::Button button;
  ui::Frame frame;
  ui::Label label;
  ui::ComboBox list;
  ui::CheckBox check;
  ui::OptionButton optionA, optionB;
  ui::TextBox text;
  ui::PictureBox picture;
  ui::ControlArray<ui::Label> rowLabels;
  int loads = 0;
  std::vector<ui::CloseReason> closes;
  bool refuseClose = false;

 protected:
  void CreateControls() override {
    button.Create(*this, "Press", {90, 180, 1455, 555});
    frame.Create(*this, "Group", {2160, 90, 3000, 2000});
    label.Create(frame, "Inside", {180, 225, 1500, 330});
    rowLabels.Design().Create(frame, "Row", {180, 600, 1500, 330}, {.visible = false});
    list.Create(*this, {90, 900, 1905, 315});
    check.Create(*this, "Check", {90, 1500, 1500, 300});
    optionA.Create(*this, "A", {90, 1900, 800, 300}, {.firstOfGroup = true});
    optionB.Create(*this, "B", {900, 1900, 800, 300});
    text.Create(*this, {90, 2400, 1800, 315}, {.password = true});
    picture.Create(*this, {90, 3000, 1800, 600});
  }
  void Form_Load() override { ++loads; }
  void Form_QueryUnload(bool& cancel, ui::CloseReason reason) override {
    closes.push_back(reason);
    cancel = refuseClose;
  }
};

TEST(FormsLayer, ControlsAreRealStandardWindowsAtTwipsPositions) {
  SampleForm form;
  form.Load();
  EXPECT_EQ(form.loads, 1);
  EXPECT_FALSE(form.Visible());
  EXPECT_EQ(ClassOf(form.button.hwnd()), L"Button");
  EXPECT_EQ(ClassOf(form.frame.hwnd()), L"Button");
  EXPECT_EQ(ClassOf(form.label.hwnd()), L"Static");
  EXPECT_EQ(ClassOf(form.list.hwnd()), L"ComboBox");
  EXPECT_EQ(ClassOf(form.text.hwnd()), L"Edit");
  // A label in a frame is the frame's child, placed relative to it.
  EXPECT_EQ(GetParent(form.label.hwnd()), form.frame.hwnd());
  RECT r;
  GetWindowRect(form.button.hwnd(), &r);
  POINT p{r.left, r.top};
  ScreenToClient(form.hwnd(), &p);
  EXPECT_EQ(p.x, ui::TwipsToPixels(90));
  EXPECT_EQ(p.y, ui::TwipsToPixels(180));
  EXPECT_EQ(r.right - r.left, ui::TwipsToPixels(90 + 1455) - ui::TwipsToPixels(90));
  RECT client;
  GetClientRect(form.hwnd(), &client);
  EXPECT_EQ(client.right, ui::TwipsToPixels(6000));
  EXPECT_EQ(client.bottom, ui::TwipsToPixels(4000));
  // The password box hides its characters.
  EXPECT_EQ(SendMessageW(form.text.hwnd(), EM_GETPASSWORDCHAR, 0, 0), L'*');
  // Loading a loaded form does nothing.
  form.Load();
  EXPECT_EQ(form.loads, 1);
}

TEST(FormsLayer, ClicksReachCallbacksFromUsersAndCode) {
  SampleForm form;
  form.Show();
  int clicks = 0, listClicks = 0, optionClicks = 0;
  form.button.OnClick = [&] { ++clicks; };
  form.list.OnClick = [&] { ++listClicks; };
  form.optionB.OnClick = [&] { ++optionClicks; };
  SendMessageW(form.button.hwnd(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  form.list.AddItem("one");
  form.list.AddItem("two");
  EXPECT_EQ(form.list.Text(), "");
  form.list.SetListIndex(1);  // choosing from code raises the click, as a user's choice does
  EXPECT_EQ(listClicks, 1);
  EXPECT_EQ(form.list.Text(), "two");
  form.optionA.SetValue(true);
  form.optionB.SetValue(true);
  EXPECT_FALSE(form.optionA.Value());
  EXPECT_TRUE(form.optionB.Value());
  EXPECT_EQ(optionClicks, 1);
  // Disabled buttons ignore the user.
  form.button.SetEnabled(false);
  EXPECT_FALSE(form.button.Enabled());
}

TEST(FormsLayer, LabelChangeFiresOnlyForNewText) {
  SampleForm form;
  form.Load();
  std::vector<std::string> seen;
  form.label.OnChange = [&] { seen.push_back(form.label.Caption()); };
  form.label.SetCaption("a");
  form.label.SetCaption("a");
  form.label.SetCaption("b ünïcode");
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1], "b ünïcode");
}

TEST(FormsLayer, ControlArrayElementsAreHiddenCopiesOfElementZero) {
  SampleForm form;
  form.Load();
  auto& rows = form.rowLabels;
  EXPECT_TRUE(rows.Exists(0));
  EXPECT_FALSE(rows.Exists(1));
  try {
    rows[1].SetCaption("x");
    FAIL() << "missing element must raise";
  } catch (const twi::RuntimeError& e) {
    EXPECT_EQ(e.Number(), 340);
  }
  rows.Load(1);
  EXPECT_EQ(rows[1].Caption(), "Row");
  EXPECT_FALSE(rows[1].Visible());
  EXPECT_EQ(rows[1].Width(), rows[0].Width());
  EXPECT_EQ(GetParent(rows[1].hwnd()), form.frame.hwnd());
  try {
    rows.Load(1);
    FAIL() << "loading twice must raise";
  } catch (const twi::RuntimeError& e) {
    EXPECT_EQ(e.Number(), 360);
  }
  EXPECT_EQ(rows.UBound(), 1);
}

TEST(FormsLayer, CloseReasonsTellTheCloseBoxFromOtherCloses) {
  {
    SampleForm form;
    form.Show();
    form.SimulateClose(ui::CloseReason::ControlMenu);
    ASSERT_EQ(form.closes.size(), 1u);
    EXPECT_EQ(form.closes[0], ui::CloseReason::ControlMenu);
    EXPECT_FALSE(form.IsLoaded());
  }
  {
    SampleForm form;
    form.Show();
    form.SimulateClose(ui::CloseReason::TaskManager);
    EXPECT_EQ(form.closes.at(0), ui::CloseReason::TaskManager);
  }
  {
    SampleForm form;
    form.Show();
    form.SimulateClose(ui::CloseReason::AppWindows);
    EXPECT_EQ(form.closes.at(0), ui::CloseReason::AppWindows);
  }
  {
    SampleForm form;
    form.Show();
    form.refuseClose = true;
    EXPECT_FALSE(form.Unload());
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_EQ(form.closes.at(0), ui::CloseReason::Code);
    form.refuseClose = false;
    EXPECT_TRUE(form.Unload());
    EXPECT_FALSE(ui::Forms().Contains(&form));
  }
}

TEST(FormsLayer, ModalShowReturnsWhenHiddenAndDisablesOtherForms) {
  SampleForm owner, dialog;
  owner.Show();
  bool ownerDisabledDuringModal = false;
  ui::Timer timer;
  timer.SetInterval(50);
  timer.OnTimer = [&] {
    ownerDisabledDuringModal = !IsWindowEnabled(owner.hwnd());
    timer.SetEnabled(false);
    dialog.Hide();
  };
  timer.SetEnabled(true);
  dialog.Show(true);
  EXPECT_TRUE(ownerDisabledDuringModal);
  EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
  EXPECT_TRUE(dialog.IsLoaded());
  EXPECT_FALSE(dialog.Visible());
}

TEST(FormsLayer, ShowingModelessWhileModalIsUpIsError401) {
  SampleForm owner, dialog, other;
  owner.Show();
  long error = 0;
  ui::Timer timer;
  timer.SetInterval(20);
  timer.OnTimer = [&] {
    timer.SetEnabled(false);
    try {
      other.Show();
    } catch (const twi::RuntimeError& e) {
      error = e.Number();
    }
    dialog.Hide();
  };
  timer.SetEnabled(true);
  dialog.Show(true);
  EXPECT_EQ(error, 401);
}

TEST(FormsLayer, TimerTicksAtItsIntervalWhileMessagesArePumped) {
  ui::Timer timer;
  int ticks = 0;
  timer.OnTimer = [&] { ++ticks; };
  timer.SetInterval(50);
  timer.SetEnabled(true);
  twitest::PumpFor(std::chrono::milliseconds(420));
  timer.SetEnabled(false);
  EXPECT_GE(ticks, 5);
  EXPECT_LE(ticks, 9);
  int before = ticks;
  twitest::PumpFor(std::chrono::milliseconds(150));
  EXPECT_EQ(ticks, before);
}

TEST(FormsLayer, PictureBoxKeepsWhatIsDrawn) {
  SampleForm form;
  form.Load();
  form.picture.SetBackColor(RGB(255, 255, 255));
  form.picture.FillBox(0, 0, 10, 10, RGB(0x80, 0xFF, 0x80));
  EXPECT_EQ(form.picture.Point(5, 5), RGB(0x80, 0xFF, 0x80));
  EXPECT_EQ(form.picture.Point(20, 5), RGB(255, 255, 255));
  form.picture.Cls();
  EXPECT_EQ(form.picture.Point(5, 5), RGB(255, 255, 255));
  EXPECT_GT(form.picture.TextWidth("Hello"), form.picture.TextWidth("Hi"));
}

TEST(FormsLayer, MessageBoxesCanBeAnsweredByTests) {
  twitest::MsgBoxRecorder boxes;
  boxes.Answer(ui::vbNo);
  EXPECT_EQ(ui::MsgBox("Install now?", ui::vbYesNo), ui::vbNo);
  EXPECT_EQ(ui::MsgBox("Done"), ui::vbOK);
  ASSERT_EQ(boxes.Calls().size(), 2u);
  EXPECT_EQ(boxes.Calls()[0].title, "Tarnwick Software Install Center");
  EXPECT_EQ(boxes.Calls()[1].prompt, "Done");
}

}  // namespace

namespace {

// The font a control draws with.
LOGFONTW FontOf(HWND hwnd) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), sizeof(font), &font);
  return font;
}

// The rows of a button's own drawing (WM_PRINTCLIENT into a bitmap) that hold caption
// pixels (near black), as [first, last]; {-1, -1} when there are none.
std::pair<int, int> CaptionRows(HWND button) {
  RECT client{};
  GetClientRect(button, &client);
  HDC screen = GetDC(button);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  HGDIOBJ old = SelectObject(dc, bitmap);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  std::pair<int, int> rows{-1, -1};
  for (int y = 0; y < client.bottom; ++y)
    for (int x = 0; x < client.right; ++x) {
      COLORREF c = GetPixel(dc, x, y);
      if (GetRValue(c) < 60 && GetGValue(c) < 60 && GetBValue(c) < 60) {
        if (rows.first < 0) rows.first = y;
        rows.second = y;
        break;
      }
    }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(button, screen);
  return rows;
}

}  // namespace

// A bold caption that the system would draw cut off at the bottom (the main window's
// "Stop Current Download", 1455 x 555 twips: Wine breaks it into three lines) shows
// whole: as the button draws itself, its lines stand in the middle, as far from the
// bottom as from the top; in the same face and weight, a smaller size only where needed.
// A short caption afterwards keeps the dialog font.
TEST(FormsLayer, AButtonsCaptionIsFittedToItsButton) {
  SampleForm form;
  form.Load();
  const LOGFONTW dialog = FontOf(form.button.hwnd());
  form.button.SetFontBold(true);
  form.button.SetCaption("Stop Current Download");
  RECT client{};
  GetClientRect(form.button.hwnd(), &client);
  const auto [top, bottom] = CaptionRows(form.button.hwnd());
  ASSERT_GE(top, 0) << "no caption drawn";
  EXPECT_LE(std::abs(top - (client.bottom - 1 - bottom)), 3)
      << "caption rows " << top << " to " << bottom << " of " << client.bottom;
  const LOGFONTW fitted = FontOf(form.button.hwnd());
  EXPECT_EQ(std::wstring(fitted.lfFaceName), std::wstring(dialog.lfFaceName));
  EXPECT_EQ(fitted.lfWeight, FW_BOLD);
  EXPECT_LE(std::abs(fitted.lfHeight), std::abs(dialog.lfHeight));
  form.button.SetCaption("Stop");
  EXPECT_EQ(FontOf(form.button.hwnd()).lfHeight, dialog.lfHeight);
  form.Unload();
}
