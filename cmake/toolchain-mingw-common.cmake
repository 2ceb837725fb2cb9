# What both MinGW-w64 toolchain files share: the win32 threads model's compilers of
# TWI_MINGW_PREFIX, Windows as the target, and the Wine wrapper that runs the tests.
set(CMAKE_SYSTEM_NAME Windows)
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
