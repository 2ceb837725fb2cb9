#pragma once
// Draws a filled progress bar with a centred caption into a picture box, at
// most about seven times a second; the final update (current = maximum) is
// always drawn.
#include <windows.h>

#include <string>
#include <utility>

#include "base/Clock.h"

namespace ui {
class PictureBox;
}

namespace twi {

class cSharedProgress {
 public:
  explicit cSharedProgress(SecondsClock clock = ClockSeconds) : clock_(std::move(clock)) {}

  // An empty text shows the percentage instead. Colours of 0 mean "none".
  void ShowProgressString(ui::PictureBox& statusBar, double currentValue, double maxValue,
                          const std::string& textString, COLORREF foreColour = 0,
                          COLORREF backColour = 0);
  void PrintCentered(ui::PictureBox& picBox, const std::string& textString, bool clearFirst,
                     COLORREF textColour = 0, COLORREF backColour = 0);

  static constexpr COLORREF kBarColour = RGB(0x80, 0xFF, 0x80);
  static constexpr double kThrottleSeconds = 0.15;

 private:
  void ShowProgress(ui::PictureBox& box, double current, double max, const std::string& text,
                    bool percent, COLORREF fore);
  void PrintDeadCenter(ui::PictureBox& box, const std::string& text, bool clearFirst,
                       COLORREF textColour, COLORREF backColour);
  SecondsClock clock_;
  double earliestNext_ = 0.0;
};

cSharedProgress& TheProgress();

}  // namespace twi
