#pragma once
// Picture box: the one drawn control. It keeps its picture in a memory bitmap
// (so what is drawn stays when the window is covered) and offers the few
// drawing calls the program uses. Coordinates are pixels of the box.
#include <memory>
#include <string>

#include "ui/Control.h"

namespace ui {

class PictureBox : public Control {
 public:
  PictureBox();
  ~PictureBox() override;
  void Create(Container& parent, const TwipsRect& rect, const CreateArgs& args = {});

  int ScaleWidth() const;   // inner width in pixels
  int ScaleHeight() const;  // inner height in pixels
  int OuterWidth() const;   // width in pixels with the border
  void SetBackColor(COLORREF colour);
  void SetForeColor(COLORREF colour);
  COLORREF BackColor() const { return back_; }
  COLORREF ForeColor() const { return fore_; }
  // Clears to the background colour and puts the text position at 0,0.
  void Cls();
  void FillBox(int left, int top, int right, int bottom, COLORREF colour);
  int TextWidth(std::string_view text);
  int TextHeight(std::string_view text);
  void SetCurrentX(int x) { currentX_ = x; }
  void SetCurrentY(int y) { currentY_ = y; }
  // Writes text at the text position in the foreground colour.
  void Print(std::string_view text);
  // Colour of a drawn pixel (tests look at what was drawn).
  COLORREF Point(int x, int y);
  void Refresh();

  LRESULT HandleSubclassMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool& handled) override;

 private:
  void EnsureBitmap();
  void ReleaseBitmap();

  // The memory picture: a device context with a bitmap of the box's size and
  // the dialog font selected into it.
  struct Canvas;
  // The canvas's device context; null before the window exists.
  HDC Dc() const;

  std::unique_ptr<Canvas> canvas_;
  COLORREF back_ = GetSysColor(COLOR_BTNFACE);
  COLORREF fore_ = GetSysColor(COLOR_BTNTEXT);
  int currentX_ = 0;
  int currentY_ = 0;
};

}  // namespace ui
