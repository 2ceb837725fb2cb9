# Cross-compile for 32-bit Windows with MinGW-w64 (posix threads model).
# Wine on the build machines runs 64-bit programs only, so this build is compiled, not run.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TWI_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER   ${TWI_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TWI_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${TWI_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TWI_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
