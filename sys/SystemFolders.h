#pragma once
// The Windows, system and temporary folders, and shell folders by id.
#include <windows.h>

#include <string>

namespace twi {

// Each ends in exactly one backslash.
std::string GetSystemFolder();
std::string GetWindowsFolder();

// `path` as a 64-bit process names the same file. On 64-bit Windows this 32-bit program
// sees the 32-bit system folder (SysWOW64) under the system folder's name: a path in
// it becomes one in SysWOW64 itself. What runs at the next start of Windows (pending
// renames, wininit.ini) runs without that redirection and would read the name as the
// 64-bit system folder. Elsewhere, and on 32-bit Windows, `path` is returned as it is.
std::string PathWithoutRedirection(const std::string& path);

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
