#include "sys/cSHAREDSubs.h"

#include <windows.h>

#include "base/AppInfo.h"
#include "base/NoDestructor.h"
#include "sys/cSHAREDDelay.h"
#include "ui/MousePointer.h"

namespace twi {

void cSHAREDSubs::BusyMouse() {
  ui::SetScreenMousePointer(ui::vbHourglass);
  TheDelay().RegularDoEvents();
}

void cSHAREDSubs::BusyBGmouse() {
  ui::SetScreenMousePointer(ui::vbArrowHourglass);
  TheDelay().RegularDoEvents();
}

void cSHAREDSubs::BackgroundMouse() { BusyBGmouse(); }

void cSHAREDSubs::NormalMouse() {
  ui::SetScreenMousePointer(ui::vbDefault);
  TheDelay().RegularDoEvents();
}

std::string cSHAREDSubs::AppVersion() const { return AppVersionText(); }

cSHAREDSubs& TheSubs() { return SharedInstance<cSHAREDSubs>(); }

}  // namespace twi
