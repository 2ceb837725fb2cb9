#pragma once
// Colours and fonts shared by the controls: the standard dialog font (not the
// bold system font) and colours that are either RGB values or system colours.
#include <windows.h>

#include "ui/Gdi.h"

namespace ui {

class Colour {
 public:
  static Colour Rgb(COLORREF value) { return Colour(false, value); }
  static Colour System(int index) { return Colour(true, static_cast<COLORREF>(index)); }
  Colour() = default;
  COLORREF Resolve() const { return system_ ? GetSysColor(static_cast<int>(value_)) : value_; }
  bool IsSystem() const { return system_; }
  int SystemIndex() const { return static_cast<int>(value_); }
  bool operator==(const Colour&) const = default;

 private:
  Colour(bool system, COLORREF value) : system_(system), value_(value) {}
  bool system_ = true;
  COLORREF value_ = COLOR_BTNFACE;
};

// The message font of the desktop, plain and bold. Created once, kept for the
// life of the process.
HFONT DialogFont(bool bold = false);

// A solid brush for a colour, owned by the object holding it.
class BrushHolder {
 public:
  HBRUSH Get(const Colour& colour);

 private:
  GdiObject<HBRUSH> brush_;
  COLORREF value_ = 0;
};

}  // namespace ui
