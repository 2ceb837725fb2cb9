#!/usr/bin/env bash
# Builds the 64-bit program and tests into build/, and checks that the 32-bit
# program still compiles (build-i686/; Wine here runs 64-bit programs only).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake >/dev/null
cmake --build build -j"$jobs"
if [ "${TWI_SKIP_I686:-0}" != 1 ]; then
  cmake -S . -B build-i686 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake \
        -DTWI_BUILD_TESTS=OFF >/dev/null
  cmake --build build-i686 -j"$jobs"
fi
