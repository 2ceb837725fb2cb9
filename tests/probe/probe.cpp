// Test helper run as a child process. "osinfo" prints what the program's
// system services see, one "name=value" per line; "exit N" ends with code N.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sys/SystemFolders.h"
#include "sys/cSharedOSInfo.h"

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "exit") == 0) return std::atoi(argv[2]);
  if (argc >= 2 && std::strcmp(argv[1], "osinfo") == 0) {
    const twi::cSharedOSInfo& os = twi::TheOSInfo();
    std::printf("fOSName=%s\n", os.fOSName().c_str());
    std::printf("GetWinPlatform=%ld\n", os.GetWinPlatform());
    std::printf("IsWindows95=%d\n", os.IsWindows95() ? 1 : 0);
    std::printf("IsWindowsNT=%d\n", os.IsWindowsNT() ? 1 : 0);
    std::printf("IsXPorGreater=%d\n", os.IsXPorGreater() ? 1 : 0);
    std::printf("SystemFolder=%s\n", twi::GetSystemFolder().c_str());
    std::printf("WindowsFolder=%s\n", twi::GetWindowsFolder().c_str());
    return 0;
  }
  return 2;
}
