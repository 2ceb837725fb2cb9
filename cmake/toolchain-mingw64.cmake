# Cross-compile for 64-bit Windows with MinGW-w64, win32 threads model as the 32-bit
# build. Used only to run the tests on a machine whose kernel runs no 32-bit code
# (scripts/build.sh decides): the program users get is the 32-bit one.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TWI_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
