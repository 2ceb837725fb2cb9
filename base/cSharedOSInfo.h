#pragma once
// Which Windows the program runs on, from the system's version query.
#include <string>

namespace twi {

class cSharedOSInfo {
 public:
  // Platform id: 1 Windows 9x family, 2 NT family, 0 when the query fails.
  long GetWinPlatform() const;
  bool IsWindows95() const { return (GetWinPlatform() & 1) != 0; }
  bool IsWindowsNT() const { return (GetWinPlatform() & 2) != 0; }
  bool IsXPorGreater() const;
  // "WinXP", "Win98", "Win2K", … ("" when unknown, and for NT major version 7).
  std::string fOSName() const;

  // The Windows name for a version record; the table behind fOSName.
  static std::string OSNameFor(long platform, unsigned long major, unsigned long minor);
};

cSharedOSInfo& TheOSInfo();

}  // namespace twi
