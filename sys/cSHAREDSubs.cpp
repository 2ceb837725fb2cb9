#include "sys/cSHAREDSubs.h"

#include <windows.h>

#include <vector>

#include "sys/AppInfo.h"
#include "sys/TextConv.h"
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

AppVersionNumbers ReadAppVersion() {
  AppVersionNumbers numbers;
  std::wstring path = ToWide(AppExePath());
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (!size) return numbers;
  std::vector<unsigned char> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return numbers;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info)
    return numbers;
  numbers.major = HIWORD(info->dwFileVersionMS);
  numbers.minor = LOWORD(info->dwFileVersionMS);
  numbers.revision = LOWORD(info->dwFileVersionLS);
  return numbers;
}

std::string cSHAREDSubs::AppVersion() const {
  static const AppVersionNumbers v = ReadAppVersion();
  return std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.revision);
}

cSHAREDSubs& TheSubs() {
  static cSHAREDSubs subs;
  return subs;
}

}  // namespace twi
