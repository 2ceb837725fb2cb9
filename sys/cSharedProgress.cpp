#include "sys/cSharedProgress.h"

#include <cmath>

#include "base/Clock.h"
#include "base/NoDestructor.h"
#include "diag/TrapToLog.h"
#include "sys/cSHAREDDelay.h"
#include "ui/PictureBox.h"

namespace twi {
namespace {

constexpr const char* kModule = "modProgressIndicator";

}  // namespace

void cSharedProgress::ShowProgressString(ui::PictureBox& statusBar, double currentValue,
                                         double maxValue, const std::string& textString,
                                         COLORREF foreColour, COLORREF /*backColour*/) {
  TrapToLog("ShowProgressString", kModule, [&] {
    ShowProgress(statusBar, currentValue, maxValue, textString, textString.empty(), foreColour);
  });
}

void cSharedProgress::ShowProgress(ui::PictureBox& box, double current, double max,
                                   const std::string& text, bool percent, COLORREF fore) {
  COLORREF barColour = fore != 0 ? fore : (!text.empty() || percent ? kBarColour : 0);
  if (current != max && clock_() < earliestNext_) return;
  earliestNext_ = clock_() + kThrottleSeconds;
  if (max == 0) max = 1;
  double fraction = current / max;
  if (fraction < 0) fraction = 0;
  box.SetForeColor(GetSysColor(COLOR_BTNTEXT));
  box.SetBackColor(GetSysColor(COLOR_WINDOW));  // clears the box
  if (fraction != 0) {
    // The fraction of the box's whole width; the drawing is clipped to its inside.
    int width = static_cast<int>(std::lround(fraction * box.OuterWidth()));
    box.FillBox(0, 0, width, box.ScaleHeight(), barColour);
  }
  std::string caption = percent ? std::to_string(std::lround(fraction * 100)) + "%" : text;
  PrintDeadCenter(box, caption, false, fore, 0);
  TheDelay().RegularDoEvents();
}

void cSharedProgress::PrintCentered(ui::PictureBox& picBox, const std::string& textString,
                                    bool clearFirst, COLORREF textColour, COLORREF backColour) {
  PrintDeadCenter(picBox, textString, clearFirst, textColour, backColour);
}

void cSharedProgress::PrintDeadCenter(ui::PictureBox& box, const std::string& text,
                                      bool clearFirst, COLORREF textColour, COLORREF backColour) {
  TrapToLog("PrintDeadCenter", kModule, [&] {
    if (clearFirst) box.Cls();
    if (backColour != 0) box.SetBackColor(backColour);
    if (textColour != 0) box.SetForeColor(textColour);
    box.SetCurrentX((box.ScaleWidth() - box.TextWidth(text)) / 2);
    box.SetCurrentY((box.ScaleHeight() - box.TextHeight(text)) / 2);
    box.Print(text);
  });
}

cSharedProgress& TheProgress() { return SharedInstance<cSharedProgress>(); }

}  // namespace twi
