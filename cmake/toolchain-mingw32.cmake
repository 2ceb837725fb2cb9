# Cross-compile for 32-bit Windows (XP and later) with MinGW-w64.
# The win32 threads model: its runtime is built on the Win32 calls XP has, where the
# posix model's thread library imports GetTickCount64 (Vista and later). The program's
# one thread (in the transfer control) uses those Win32 calls directly.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TWI_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
