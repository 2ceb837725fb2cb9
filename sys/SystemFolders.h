#pragma once
// The Windows, system and temporary folders, and shell folders by id.
#include <windows.h>

#include <string>

namespace twi {

// Each ends in exactly one backslash.
std::string GetSystemFolder();
std::string GetWindowsFolder();

class cSharedGetSpecialFolder {
 public:
  static constexpr int LocalAppsFolder = 40;
  static constexpr int MyDocsFolder = 5;
  static constexpr int ProgramFilesFolder = 38;
  static constexpr int DesktopFolder = 0;

  // The system's temporary path, with its trailing backslash.
  std::string SystemTempFolder(HWND hwnd = nullptr) const;
  // The shell's path for a folder id followed by a backslash, or "".
  std::string GetSpecialFolder(HWND hwnd, int folderId) const;
};

}  // namespace twi
