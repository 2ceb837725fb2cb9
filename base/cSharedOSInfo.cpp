#include "base/cSharedOSInfo.h"

#include <windows.h>

#include "base/NoDestructor.h"

namespace twi {
namespace {

bool QueryVersion(OSVERSIONINFOA& info) {
  info = {};
  info.dwOSVersionInfoSize = 148;  // the classic record: no service-pack fields beyond the text
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  return GetVersionExA(&info) != FALSE;
#pragma GCC diagnostic pop
}

}  // namespace

long cSharedOSInfo::GetWinPlatform() const {
  OSVERSIONINFOA info;
  return QueryVersion(info) ? static_cast<long>(info.dwPlatformId) : 0;
}

bool cSharedOSInfo::IsXPorGreater() const {
  OSVERSIONINFOA info;
  if (!QueryVersion(info) || info.dwPlatformId != 2) return false;
  return info.dwMajorVersion > 5 || (info.dwMajorVersion == 5 && info.dwMinorVersion >= 1);
}

std::string cSharedOSInfo::fOSName() const {
  OSVERSIONINFOA info;
  if (!QueryVersion(info)) return "";
  return OSNameFor(static_cast<long>(info.dwPlatformId), info.dwMajorVersion, info.dwMinorVersion);
}

std::string cSharedOSInfo::OSNameFor(long platform, unsigned long major, unsigned long minor) {
  if (platform == 2) {
    if (major >= 8) return "WINNT7+";
    if (major == 7) return "";  // the table starts the last row at 8, not 7
    if (major == 6) return minor == 0 ? "Vista/Svr2008" : "WINNT6+";
    if (major == 5) {
      switch (minor) {
        case 0: return "Win2K";
        case 1: return "WinXP";
        case 2: return "XP64/Svr2003";
        default: return "WINNT5+";
      }
    }
    return "WinNT";
  }
  if (platform == 1) {
    switch (minor) {
      case 0: return "Win95";
      case 10: return "Win98";
      case 90: return "WinME";
      default: return "WIN32";
    }
  }
  return "";
}

cSharedOSInfo& TheOSInfo() { return SharedInstance<cSharedOSInfo>(); }

}  // namespace twi
