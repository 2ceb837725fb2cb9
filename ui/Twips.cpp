#include "ui/Twips.h"

#include <windows.h>

#include "ui/Gdi.h"

namespace ui {

int ScreenDpi() {
  static const int dpi = [] {
    WindowDC screen(nullptr);
    int value = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
    return value > 0 ? value : 96;
  }();
  return dpi;
}

int TwipsToPixels(int twips) { return MulDiv(twips, ScreenDpi(), 1440); }
int PixelsToTwips(int pixels) { return MulDiv(pixels, 1440, ScreenDpi()); }

}  // namespace ui
