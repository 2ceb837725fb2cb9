#pragma once
// Mouse pointer shapes for busy phases and the program's own version.
#include <string>

namespace twi {

class cSHAREDSubs {
 public:
  void BusyMouse();        // hourglass
  void BusyBGmouse();      // arrow and hourglass
  void BackgroundMouse();  // arrow and hourglass
  void NormalMouse();      // default pointer
  // Major, minor and revision from the executable's file version (first, second
  // and fourth fields): file version 1.2.0.99 gives "1.2.99".
  std::string AppVersion() const;
  bool InIDE() const { return false; }
};

cSHAREDSubs& TheSubs();

}  // namespace twi
