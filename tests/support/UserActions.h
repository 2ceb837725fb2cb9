#pragma once
// What a user does to another program's windows, done from outside: press a
// button, choose from a list, type into a box, answer a message box, wait for a
// text to show, and take a picture of the screen. Built on OtherPrograms.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

namespace twitest {

// Waits (polling every 100 ms) until `done` holds; false after `timeout`.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout);
// Whether a window inside `window` shows exactly `text`.
bool ShowsText(HWND window, const std::string& text);
// The first window inside `window` whose text contains `part` ("" when none).
std::string TextContaining(HWND window, const std::string& part);
// Presses the button captioned `caption` inside `window`; false when there is none.
bool PressButton(HWND window, const std::string& caption);
// Chooses `item` in the (first) drop-down list inside `window`, as a user's
// choice does (the program hears the selection change).
bool ChooseListItem(HWND window, const std::string& item);
// Replaces the text of the `index`-th edit box inside `window` (0 the first).
bool TypeInto(HWND window, int index, const std::string& text);
// A message box of the program `exePath` whose text contains `part`.
HWND WaitForMessageBox(const std::string& exePath, const std::string& part,
                       std::chrono::milliseconds timeout);
// Saves a picture of the whole screen as <folder>/<name>.png when the folder
// TWI_JOURNEY_SHOTS (a Unix path) is set; does nothing otherwise.
void Screenshot(const std::string& name);

}  // namespace twitest
