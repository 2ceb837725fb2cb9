#!/usr/bin/env bash
# Installs what is needed, builds, and starts the install center in a demo
# program folder (build/demo). On the user's display when there is one;
# otherwise under Xvfb, saving a screenshot and saying where it is.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/install-deps.sh
TWI_SKIP_I686=1 scripts/build.sh

demo="$root/build/demo"
mkdir -p "$demo"
cp build/bin/TWInstall.exe "$demo/"
export TWI_WINEPREFIX="$root/build/demo-wineprefix"

run_install_center() {
  "$root/tests/tools/wine-run" "$demo/TWInstall.exe"
}

stop_wine() { WINEPREFIX="$TWI_WINEPREFIX" /usr/lib/wine/wineserver -k 2>/dev/null || true; }

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Starting the install center on $DISPLAY (program folder: $demo)"
  run_install_center || true
  stop_wine
else
  shot="$demo/screenshot.png"
  echo "No display: running under Xvfb; a screenshot will be saved to $shot"
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$1" "$2/TWInstall.exe" & app=$!
    # Prefix set-up on the first run takes a while; wait for the main window.
    for _ in $(seq 1 120); do
      [ -f "$2/log.txt" ] && grep -q "Program startup" "$2/log.txt" && break
      sleep 0.5
    done
    sleep 3
    import -window root "$3"
    kill $app 2>/dev/null
    WINEPREFIX="$TWI_WINEPREFIX" /usr/lib/wine/wineserver -k 2>/dev/null
    wait $app 2>/dev/null || true' demo "$root/tests/tools/wine-run" "$demo" "$shot" \
    2>/dev/null || true
  if [ -f "$shot" ]; then echo "Screenshot saved: $shot"; else echo "No screenshot was taken" >&2; exit 1; fi
fi
