// Locale words and date conventions; the progress bar and centred text; the
// translation hooks.
#include <gtest/gtest.h>

#include "diag/cSharedLogging.h"
#include "lang/cSharedLang.h"
#include "support/TestSupport.h"
#include "sys/cSharedDateSubs.h"
#include "sys/cSharedProgress.h"
#include "ui/Button.h"
#include "ui/Form.h"
#include "ui/Label.h"
#include "ui/PictureBox.h"

namespace {

using twi::cSharedDateSubs;

TEST(Locale, DateConventionsFromTheShortDateSample) {
  auto dayFirst = cSharedDateSubs::FromShortDateSample("25/12/2001");
  EXPECT_EQ(dayFirst.DateFormatString, "DD/MM/YYYY");
  EXPECT_EQ(dayFirst.DateSeparator, "/");
  EXPECT_EQ(dayFirst.SysDateDayField, 1);
  EXPECT_EQ(dayFirst.SysDateMonthField, 2);
  EXPECT_EQ(dayFirst.SysDateYearField, 3);
  auto monthFirst = cSharedDateSubs::FromShortDateSample("12/25/2001");
  EXPECT_EQ(monthFirst.DateFormatString, "MM/DD/YYYY");
  auto iso = cSharedDateSubs::FromShortDateSample("2001-12-25");
  EXPECT_EQ(iso.DateFormatString, "YYYY-MM-DD");
  EXPECT_EQ(iso.DateSeparator, "-");
  EXPECT_EQ(iso.FullDateFormatString, "DD-MMM-YYYY");
  auto dotted = cSharedDateSubs::FromShortDateSample("25.12.01");
  EXPECT_EQ(dotted.DateFormatString, "DD.MM.YY");
  EXPECT_EQ(dotted.DateSeparator, ".");
  EXPECT_EQ(dotted.FullDateFormatPlusTimeString, "DD.MMM.YYYY HH:MM");
  // Year first with the day before the month is not recognised: the format stays empty.
  auto yearDayMonth = cSharedDateSubs::FromShortDateSample("2001/25/12");
  EXPECT_EQ(yearDayMonth.DateFormatString, "");
  EXPECT_EQ(yearDayMonth.SysDateYearField, 1);
}

TEST(Locale, WordsForTrueAndFalseAreLearnedOnceAndLogged) {
  twi::cSharedLogging& log = twi::TheLog();
  log.WriteActionsToLog();
  cSharedDateSubs locale;
  EXPECT_EQ(locale.TrueStr(), "TRUE");  // Wine's English regional settings
  EXPECT_EQ(locale.FalseStr(), "FALSE");
  EXPECT_EQ(log.PendingActionCount(), 5u);
  locale.FalseStr();
  EXPECT_EQ(log.PendingActionCount(), 5u);
  log.WriteActionsToLog();
  std::string text = twitest::ReadFileBytes(log.CurrentLogFilename());
  size_t format = text.find(", Date format: ");
  size_t words = text.find(", True string: TRUE False string: FALSE");
  EXPECT_NE(format, std::string::npos);
  EXPECT_NE(words, std::string::npos);
  EXPECT_LT(format, words);
  EXPECT_NE(text.find(", Full date format plus time: "), std::string::npos);
}

class PictureForm : public ui::Form {
 public:
  PictureForm() : ui::Form("progress", 4000, 1500) {}
  ui::PictureBox picture;
  ui::Label label;
  ui::Button button;

 protected:
  void CreateControls() override {
    picture.Create(*this, {150, 150, 3000, 300}, {.border = false});
    label.Create(*this, "Label text", {150, 600, 2000, 285});
    label.SetToolTipText("tip");
    button.Create(*this, "Press", {150, 1000, 1000, 375});
  }
};

bool IsBar(COLORREF c) { return c == twi::cSharedProgress::kBarColour; }

TEST(Progress, BarWidthFollowsTheFractionAndUpdatesAreThrottled) {
  PictureForm form;
  form.Load();
  ui::PictureBox& box = form.picture;
  int w = box.ScaleWidth(), h = box.ScaleHeight();
  double now = 100.0;  // the progress's clock, moved on by hand
  twi::cSharedProgress progress([&] { return now; });
  // A maximum of 0 counts as 1: half the width.
  progress.ShowProgressString(box, 0.5, 0, "x");
  EXPECT_TRUE(IsBar(box.Point(w / 2 - 3, h - 2)));
  EXPECT_FALSE(IsBar(box.Point(w / 2 + 3, h - 2)));
  // Within 0.15 s a second update is dropped ...
  now += 0.14;
  progress.ShowProgressString(box, 90, 100, "x");
  EXPECT_FALSE(IsBar(box.Point(w * 8 / 10, h - 2)));
  // ... but the final one is always drawn.
  progress.ShowProgressString(box, 100, 100, "done");
  EXPECT_TRUE(IsBar(box.Point(w - 2, h - 2)));
  now += 0.16;
  progress.ShowProgressString(box, 25, 100, "");
  EXPECT_TRUE(IsBar(box.Point(w / 4 - 3, h - 2)));
  EXPECT_FALSE(IsBar(box.Point(w / 4 + 3, h - 2)));
  now += 0.16;
  progress.ShowProgressString(box, 150, 100, "over");  // wider than the box: clipped
  EXPECT_TRUE(IsBar(box.Point(w - 1, h - 2)));
  now += 0.16;
  progress.ShowProgressString(box, -5, 100, "below");
  EXPECT_FALSE(IsBar(box.Point(1, h - 2)));
}

TEST(Progress, TheBarIsTheFractionOfTheWholeBoxWidthBorderIncluded) {
  PictureForm form;
  form.Load();
  ui::PictureBox bordered;
  bordered.Create(form, {150, 1000, 3000, 300});
  int outer = bordered.OuterWidth(), h = bordered.ScaleHeight();
  ASSERT_GT(outer, bordered.ScaleWidth());  // the border takes a few pixels
  twi::cSharedProgress progress;
  progress.ShowProgressString(bordered, 0.5, 1, "x");
  EXPECT_TRUE(IsBar(bordered.Point(outer / 2 - 1, h - 2)));
  EXPECT_FALSE(IsBar(bordered.Point(outer / 2 + 1, h - 2)));
}

TEST(Progress, CentredTextLeavesTheEdgesClear) {
  PictureForm form;
  form.Load();
  ui::PictureBox& box = form.picture;
  twi::cSharedProgress progress;
  progress.PrintCentered(box, "Downloaded 2 kb", true, RGB(0, 0, 0x80), RGB(0xFF, 0xFF, 0xFF));
  int textPixelsLeftHalf = 0, textPixelsRightHalf = 0;
  for (int x = 0; x < box.ScaleWidth(); ++x)
    for (int y = 0; y < box.ScaleHeight(); ++y)
      if (box.Point(x, y) != RGB(0xFF, 0xFF, 0xFF)) (x < box.ScaleWidth() / 2 ? textPixelsLeftHalf : textPixelsRightHalf)++;
  EXPECT_GT(textPixelsLeftHalf, 0);
  EXPECT_GT(textPixelsRightHalf, 0);
  EXPECT_EQ(box.Point(1, 1), RGB(0xFF, 0xFF, 0xFF));
  EXPECT_EQ(box.Point(box.ScaleWidth() - 2, 1), RGB(0xFF, 0xFF, 0xFF));
}

TEST(Translation, PassesEveryTextThroughUnchanged) {
  twi::cSharedLang lang;
  EXPECT_EQ(lang.GetTranslation(""), "");
  EXPECT_EQ(lang.GetTranslation("Proxy Setup"), "Proxy Setup");
  PictureForm form;
  form.Load();
  int changes = 0;
  form.label.OnChange = [&] { ++changes; };
  lang.TranslateForm(form);
  EXPECT_EQ(form.Caption(), "progress");
  EXPECT_EQ(form.label.Caption(), "Label text");
  EXPECT_EQ(form.label.ToolTipText(), "tip");
  EXPECT_EQ(form.button.Caption(), "Press");
  EXPECT_EQ(changes, 0);
}

}  // namespace
