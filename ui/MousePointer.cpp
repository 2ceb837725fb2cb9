#include "ui/MousePointer.h"

#include <windows.h>

namespace ui {
namespace {

int& CurrentShape() {
  static int shape = vbDefault;
  return shape;
}

}  // namespace

bool ApplyScreenMousePointer() {
  switch (CurrentShape()) {
    case vbHourglass: SetCursor(LoadCursorW(nullptr, IDC_WAIT)); return true;
    case vbArrowHourglass: SetCursor(LoadCursorW(nullptr, IDC_APPSTARTING)); return true;
    default: return false;
  }
}

void SetScreenMousePointer(int shape) {
  CurrentShape() = shape;
  if (!ApplyScreenMousePointer()) SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

int ScreenMousePointer() { return CurrentShape(); }

}  // namespace ui
