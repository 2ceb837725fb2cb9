#pragma once
// Facts about the running program that every window and message shares.
#include <string>

namespace twi {

// Title of message boxes, the updater window and error reports. The version
// resource calls the product "Installer"; users know the program by its window
// caption, so the title is that caption.
inline const char* AppTitle() { return "Tarnwick Software Install Center"; }

// The maker's web site and support address, shown in the About box and used by
// the error report (its mail link and its instructions). The maker's real ones
// are not reachable from here: reserved .example names.
inline std::string MakerWebSite() { return "http://www.tarnwick-software.example"; }
inline std::string SupportEmail() { return "support@tarnwick-software.example"; }

// Full path of the running executable, and its folder without a trailing backslash.
std::string AppExePath();
std::string AppFolder();
// File name of the executable without folder and extension ("TWInstall").
std::string AppExeName();

// The three version numbers the program shows: major, minor and revision from
// the executable's file version (its first, second and fourth fields), 0 each
// when there is no version resource.
struct AppVersionNumbers {
  int major = 0, minor = 0, revision = 0;
};
AppVersionNumbers ReadAppVersion();
// "1.2.99" for file version 1.2.0.99; read once.
const std::string& AppVersionText();

}  // namespace twi
