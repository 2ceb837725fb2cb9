#pragma once
// The screen mouse pointer, as the program sets it for busy phases:
// 0 default, 11 hourglass, 13 arrow and hourglass.
namespace ui {

enum MousePointerShape { vbDefault = 0, vbHourglass = 11, vbArrowHourglass = 13 };

void SetScreenMousePointer(int shape);
int ScreenMousePointer();
// Applies the screen pointer to a window under the mouse; true when it did.
bool ApplyScreenMousePointer();

}  // namespace ui
