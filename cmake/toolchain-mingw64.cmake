# Cross-compile for 64-bit Windows with MinGW-w64 (posix threads model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TWI_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${TWI_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TWI_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${TWI_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TWI_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Test executables run under Wine through this wrapper. A cache entry, so that a
# plain set() elsewhere cannot silently replace it.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/tools/wine-run CACHE FILEPATH "")
