#pragma once
// Layouts are written in twips (1/1440 inch) and converted here, once, for the
// screen's DPI (15 twips per pixel at 96 DPI).
namespace ui {

struct TwipsRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

int ScreenDpi();
int TwipsToPixels(int twips);
int PixelsToTwips(int pixels);

}  // namespace ui
