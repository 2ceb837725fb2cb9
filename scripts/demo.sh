#!/usr/bin/env bash
# Installs what is needed, builds, and starts the install center as a user on a
# fresh computer would meet it: a fresh Wine prefix, a program folder
# (build/demo/program: TWInstall.exe, Updater.exe, Msinet.oc_, Help\Index.htm) and
# TWInstaller.ini pointing at the demo maker's servers, which run on 127.0.0.1
# (nginx, tests/server/start-maker, packages sent slowly enough that progress shows).
# On the user's display the install center simply starts. Without a display it runs
# under Xvfb and walks a scripted journey (pick a program, scan, install each failed
# runtime, determine the latest version, download and install the program, open the
# proxy settings, update the install center and see it come back as 1.3.0), saving
# a numbered screenshot after each step into build/demo/screenshots.
set -euo pipefail
cd "$(dirname "$0")/.."
# Wine maps file names through the locale's character set, so names outside ASCII
# need a UTF-8 locale; a fresh machine's root shell may have none set.
if [ "$(locale charmap 2>/dev/null)" != UTF-8 ]; then
  unset LC_ALL LC_CTYPE
  export LANG=C.UTF-8
fi
root=$(pwd)
scripts/install-deps.sh
scripts/build.sh

demo="$root/build/demo"
program="$demo/program"
servers="$demo/servers"
shots="$demo/screenshots"
export TWI_WINEPREFIX="$demo/wineprefix"
WINEPREFIX="$TWI_WINEPREFIX" /usr/lib/wine/wineserver -k 2>/dev/null || true
rm -rf "$demo"
mkdir -p "$program/Help" "$servers" "$shots"
cp build/bin/TWInstall.exe build/bin/Updater.exe "$program/"
cp build/fixtures/msinet.ocx "$program/Msinet.oc_"
cp build/bin/Help/Index.htm "$program/Help/"

TWI_MAKER_RATE=1048576 tests/server/start-maker "$servers" >"$servers/start.log" 2>&1 &
server_pid=$!
stop_all() {
  WINEPREFIX="$TWI_WINEPREFIX" /usr/lib/wine/wineserver -k 2>/dev/null || true
  kill "$server_pid" 2>/dev/null || true
  wait "$server_pid" 2>/dev/null || true
}
# The script's own status survives stopping the servers.
trap 'status=$?; stop_all; exit $status' EXIT
for _ in $(seq 1 300); do [ -s "$servers/maker.port" ] && break; sleep 0.1; done
[ -s "$servers/maker.port" ] || { echo "The demo servers did not start:"; cat "$servers/start.log"; exit 1; }
main="http://127.0.0.1:$(cat "$servers/maker.port")/"
secondary="http://127.0.0.1:$(cat "$servers/maker-secondary.port")/"
printf 'MAINSERVER,%s\r\nSECONDARYSERVER,%s\r\n' "$main" "$secondary" >"$program/TWInstaller.ini"
echo "Demo maker's servers: main $main, secondary $secondary"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Starting the install center on $DISPLAY (program folder: $program)"
  (cd "$program" && "$root/tests/tools/wine-run" "$program/TWInstall.exe") || true
else
  echo "No display: walking the demo journey under Xvfb; screenshots go to $shots"
  folder=$(echo "Z:$program" | tr / '\\')
  # Each part under a display of its own, the prefix's Wine server stopped before its
  # display goes: the journey, then the error report window of the program folder (a
  # window of the test's own process, which a picture of a display that other programs
  # used before shows black).
  run_under_display() {
    xvfb-run -a -s "-screen 0 1280x1024x24" env TWI_SERVER_DIR="$servers" \
      TWI_JOURNEY_FOLDER="$folder" TWI_JOURNEY_SHOTS="$shots" bash -c '
        cd "$1" && "$2" ./journey_tests.exe --gtest_filter="$3"
        status=$?
        WINEPREFIX="$TWI_WINEPREFIX" /usr/lib/wine/wineserver -k 2>/dev/null
        exit $status' demo "$root/build/tests/journey" "$root/tests/tools/wine-run" "$1" \
      | grep -E "^\[ *(RUN|OK|FAILED) |Failure|Expected|Which is" || true
    return "${PIPESTATUS[0]}"
  }
  journey=0
  run_under_display Journey.FromAFreshComputerToEveryRuntimeTheProgramAndTheUpdate || journey=$?
  run_under_display Journey.TheErrorReportShowsTheProgramFoldersSettingsAndLog || journey=$?
  count=$(ls "$shots"/*.png 2>/dev/null | wc -l)
  echo "The journey saved $count screenshots in $shots:"
  ls "$shots"
  [ "$journey" = 0 ] || { echo "The journey did not finish (status $journey)." >&2; exit 1; }
fi
