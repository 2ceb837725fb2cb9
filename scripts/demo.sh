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
cp -r build/bin/Help "$demo/"
export TWI_WINEPREFIX="$root/build/demo-wineprefix"

# A local stand-in for the maker's web server: a version file for every program,
# so that "Determine latest version" has something to show.
server_dir=$(mktemp -d /tmp/twi-demo-server.XXXXXX)
mkdir -p "$server_dir/http-root/versions"
python3 tests/server/fixture_http.py --port-file "$server_dir/http.port" \
        --root "$server_dir/http-root" &
server_pid=$!
stop_server() {
  kill "$server_pid" 2>/dev/null || true
  wait "$server_pid" 2>/dev/null || true
  rm -rf "$server_dir"
}
# The script's own status survives stopping the server.
trap 'status=$?; stop_server; exit $status' EXIT
for _ in $(seq 1 100); do [ -s "$server_dir/http.port" ] && break; sleep 0.05; done
base="http://127.0.0.1:$(cat "$server_dir/http.port")/files/"
n=0
for file in SHC2 TKP CALLCLK NMN2 TRC2 QPG QBRW QSITE QMIRROR QPS QTUNE QVC1 QVC2 QAW QALM QNV4 TWI; do
  n=$((n + 1))
  if [ $((n % 2)) = 0 ]; then
    printf '2.%d.0\r\n%spackages/%s_@@@.exe\r\n' "$n" "$base" "$file" \
      > "$server_dir/http-root/versions/${file}_current.txt"
  else
    printf '1.%d.3b\r\n%spackages/%s_setup.exe\r\n' "$n" "$base" "$file" \
      > "$server_dir/http-root/versions/${file}_current.txt"
  fi
done
printf 'MAINSERVER,%s\r\n' "$base" > "$demo/TWInstaller.ini"

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
    sleep 2
    # Show a scan: the Internet control stand-in is registered, Common Controls is not.
    "$1" regsvr32 /s "$(echo "Z:$4/msinet.ocx" | tr / "\\\\")" >/dev/null 2>&1
    "$1" "$5" click "Tarnwick Software Install Center" "Scan Runtimes" >/dev/null 2>&1
    sleep 3
    import -window root "$3"
    kill $app 2>/dev/null
    WINEPREFIX="$TWI_WINEPREFIX" /usr/lib/wine/wineserver -k 2>/dev/null
    wait $app 2>/dev/null || true' demo "$root/tests/tools/wine-run" "$demo" "$shot" \
    "$root/build/fixtures" "$root/build/tests/probe/probe.exe" 2>/dev/null || true
  if [ -f "$shot" ]; then echo "Screenshot saved: $shot"; else echo "No screenshot was taken" >&2; exit 1; fi
fi
