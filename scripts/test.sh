#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test under Wine and Xvfb in a
# throw-away Wine prefix. Extra arguments go to ctest (for example -R net).
set -euo pipefail
cd "$(dirname "$0")/.."
# Wine maps file names through the locale's character set, so names outside ASCII
# need a UTF-8 locale; a fresh machine's root shell may have none set.
if [ "$(locale charmap 2>/dev/null)" != UTF-8 ]; then
  unset LC_ALL LC_CTYPE
  export LANG=C.UTF-8
fi
scripts/install-deps.sh
scripts/build.sh
prefix=$(mktemp -d /tmp/twi-wineprefix.XXXXXX)
export TWI_WINEPREFIX="$prefix"
cleanup() { rm -rf "$prefix" "$prefix.lock"; }
trap cleanup EXIT
# One X display for the whole run; the prefix's wineserver is stopped before it goes.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  ctest --test-dir build --output-on-failure -j"$(nproc)" "$@"
  rc=$?
  WINEPREFIX="$TWI_WINEPREFIX" /usr/lib/wine/wineserver -k 2>/dev/null
  exit $rc' ctest-run "$@"
