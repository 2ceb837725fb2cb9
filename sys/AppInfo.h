#pragma once
// Facts about the running program that every window and message shares.
#include <string>

namespace twi {

// Title of message boxes, the updater window and error reports. The version
// resource calls the product "Installer"; users know the program by its window
// caption, so the title is that caption.
inline const char* AppTitle() { return "Tarnwick Software Install Center"; }

// Full path of the running executable, and its folder without a trailing backslash.
std::string AppExePath();
std::string AppFolder();
// File name of the executable without folder and extension ("TWInstall").
std::string AppExeName();

}  // namespace twi
