#include "ui/Twips.h"

#include <windows.h>

namespace ui {

int ScreenDpi() {
  static const int dpi = [] {
    HDC screen = GetDC(nullptr);
    int value = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return value > 0 ? value : 96;
  }();
  return dpi;
}

int TwipsToPixels(int twips) { return MulDiv(twips, ScreenDpi(), 1440); }
int PixelsToTwips(int pixels) { return MulDiv(pixels, 1440, ScreenDpi()); }

}  // namespace ui
