#!/usr/bin/env bash
# Builds the 32-bit program (Windows XP and later), the tests, the test stand-ins
# and the benchmarks into build/.
#
# On a machine whose kernel runs no 32-bit code (its 32-bit emulation switched off),
# Wine's 32-bit loader cannot start, so nothing 32-bit can be run or tested there.
# Then build/ holds an x86-64 build of the same sources for the tests, the demo and
# the benchmarks, run by wine64, and build/i686/ the 32-bit programs users get, which
# the XP-floor test checks. TWI_ARCH=i686 or x86_64 forces the choice.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
arch=${TWI_ARCH:-}
if [ -z "$arch" ]; then
  if tests/tools/runs-32bit-code; then arch=i686; else arch=x86_64; fi
fi
case $arch in
  i686) toolchain=cmake/toolchain-mingw32.cmake compiler=i686-w64-mingw32 ;;
  x86_64) toolchain=cmake/toolchain-mingw64.cmake compiler=x86_64-w64-mingw32 ;;
  *) echo "TWI_ARCH must be i686 or x86_64" >&2; exit 2 ;;
esac
# A build folder made with another compiler starts afresh. (A toolchain file's compiler
# is not in the cache; the archiver found beside it is.)
if [ -f build/CMakeCache.txt ] &&
   ! grep -q "^CMAKE_CXX_COMPILER_AR:FILEPATH=.*/$compiler-gcc-ar-win32\$" build/CMakeCache.txt; then
  rm -rf build
fi
shipped=()
if [ "$arch" = x86_64 ]; then
  echo "build.sh: this machine runs no 32-bit code (see dmesg): the tests run on an x86-64" \
       "build; the 32-bit programs are built in build/i686/ and checked there." >&2
  cmake -S . -B build/i686 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake \
        -DTWI_BUILD_TESTS=OFF >/dev/null
  cmake --build build/i686 -j"$jobs" --target TWInstall Updater
  shipped=(-DTWI_SHIPPED_BIN="$PWD/build/i686/bin")
fi
cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE="$toolchain" "${shipped[@]}" >/dev/null
cmake --build build -j"$jobs"
