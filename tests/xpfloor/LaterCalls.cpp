// A program built for Vista, as the program would become if a later call crept in: the
// floor check must refuse it, naming each call and the subsystem version.
// The build names XP for every file; this one asks for Vista's headers.
#undef _WIN32_WINNT
#undef WINVER
#define _WIN32_WINNT 0x0600
#define WINVER 0x0600
#include <windows.h>

int main() {
  SRWLOCK lock = SRWLOCK_INIT;
  AcquireSRWLockExclusive(&lock);
  ReleaseSRWLockExclusive(&lock);
  wchar_t image[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  QueryFullProcessImageNameW(GetCurrentProcess(), 0, image, &size);
  SetProcessDPIAware();
  return static_cast<int>(GetTickCount64() % 2);
}
