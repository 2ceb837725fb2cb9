# Cross-compile for 32-bit Windows (XP and later) with MinGW-w64.
# The win32 threads model: its runtime is built on the Win32 calls XP has, where the
# posix model's thread library imports GetTickCount64 (Vista and later). The program's
# one thread (in the transfer control) uses those Win32 calls directly.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TWI_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER   ${TWI_MINGW_PREFIX}-gcc-win32)
set(CMAKE_CXX_COMPILER ${TWI_MINGW_PREFIX}-g++-win32)
set(CMAKE_RC_COMPILER  ${TWI_MINGW_PREFIX}-windres)
set(CMAKE_OBJDUMP      ${TWI_MINGW_PREFIX}-objdump)
set(CMAKE_FIND_ROOT_PATH /usr/${TWI_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Test executables run under Wine through this wrapper. A cache entry, so that a
# plain set() elsewhere cannot silently replace it.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/tools/wine-run CACHE FILEPATH "")
