#!/usr/bin/env bash
# Builds the 32-bit program (Windows XP and later), the tests, the test stand-ins
# and the benchmarks into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
# A build folder made with another compiler (the earlier 64-bit build) starts afresh.
if [ -f build/CMakeCache.txt ] && ! grep -q '^CMAKE_CXX_COMPILER:.*i686-w64-mingw32-g++-win32' build/CMakeCache.txt; then
  rm -rf build
fi
cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake >/dev/null
cmake --build build -j"$jobs"
