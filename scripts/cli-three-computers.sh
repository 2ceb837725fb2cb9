#!/usr/bin/env bash
# Installs qVoice2 from the command line on three fresh computers one after another,
# as a logon script would: each a fresh Wine prefix (/tmp/twi-cli-computer-N) with a
# program folder of its own (TWInstall.exe, Updater.exe, Msinet.oc_, a settings file
# naming the demo maker's servers on 127.0.0.1). Each computer runs
#   TWInstall.exe /install "qVoice2" /quiet      then      TWInstall.exe /scan "qVoice2" /quiet
# from a batch file in cmd.exe, which reads the exit codes on the Windows side
# (%ERRORLEVEL%: Wine hands the Unix side only their low 8 bits), and the times of the
# prefix's creation, the install and the scan are printed. Run after scripts/build.sh;
# without a display it runs under Xvfb. Exit status 0 when every computer answered 0
# to both commands.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
if [ -z "${DISPLAY:-}" ] && [ -z "${TWI_CLI_UNDER_XVFB:-}" ]; then
  exec env TWI_CLI_UNDER_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
work=/tmp/twi-cli-computers
rm -rf "$work"
mkdir -p "$work/servers"
tests/server/start-maker "$work/servers" >"$work/servers/start.log" 2>&1 &
server_pid=$!
prefixes=()
stop_all() {
  for prefix in "${prefixes[@]}"; do WINEPREFIX="$prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true; done
  kill "$server_pid" 2>/dev/null || true
  wait "$server_pid" 2>/dev/null || true
}
trap 'status=$?; stop_all; exit $status' EXIT
for _ in $(seq 1 300); do [ -s "$work/servers/maker.port" ] && break; sleep 0.1; done
[ -s "$work/servers/maker.port" ] || { cat "$work/servers/start.log"; exit 1; }
main="http://127.0.0.1:$(cat "$work/servers/maker.port")/"
secondary="http://127.0.0.1:$(cat "$work/servers/maker-secondary.port")/"

seconds_since() { awk -v s="$1" -v e="$(date +%s.%N)" 'BEGIN { printf "%.1f", e - s }'; }
failures=0
for n in 1 2 3; do
  prefix="/tmp/twi-cli-computer-$n"
  program="$work/program-$n"
  rm -rf "$prefix" "$prefix.lock"
  prefixes+=("$prefix")
  mkdir -p "$program"
  cp build/bin/TWInstall.exe build/bin/Updater.exe "$program/"
  cp build/fixtures/msinet.ocx "$program/Msinet.oc_"
  printf 'MainServer,%s\r\nSecondaryServer,%s\r\n' "$main" "$secondary" >"$program/TWInstaller.ini"
  exe="Z:$(echo "$program/TWInstall.exe" | tr / '\\')"
  printf '@"%s" /install "qVoice2" /quiet\r\n@echo exit=%%ERRORLEVEL%%\r\n' "$exe" >"$program/install.bat"
  printf '@"%s" /scan "qVoice2" /quiet\r\n@echo exit=%%ERRORLEVEL%%\r\n' "$exe" >"$program/scan.bat"
  started=$(date +%s.%N)
  TWI_WINEPREFIX="$prefix" tests/tools/prepare-prefix "$prefix"
  made=$(seconds_since "$started")
  # Runs one batch file of the program folder in cmd.exe; its "exit=<code>" line.
  run_batch() {
    (cd "$program" && TWI_WINEPREFIX="$prefix" "$root/tests/tools/wine-run" cmd.exe /c "$1" 2>/dev/null) |
      tr -d '\r' | sed -n 's/^exit=\([0-9]*\)$/\1/p' | tail -1
  }
  started=$(date +%s.%N)
  install=$(run_batch install.bat)
  install_took=$(seconds_since "$started")
  grep -E "Command line|Using |Trying to download|copied to|Exit code" "$program/log.txt" | sed 's/^/    log: /' || true
  started=$(date +%s.%N)
  scan=$(run_batch scan.bat)
  scan_took=$(seconds_since "$started")
  echo "computer $n: prefix made in ${made} s; /install in ${install_took} s (exit ${install:-none}); /scan in ${scan_took} s (exit ${scan:-none})"
  [ "${install:-}" = 0 ] && [ "${scan:-}" = 0 ] || failures=$((failures + 1))
  WINEPREFIX="$prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
done
[ "$failures" = 0 ] && echo "All three computers: qVoice2's runtimes installed, the scan passed." || {
  echo "$failures of the three computers did not answer 0 to both commands."; exit 1; }
