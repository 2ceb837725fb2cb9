#!/usr/bin/env bash
# Download benchmark: starts the fixture HTTP server, fetches a 100 MB body under Wine
# (in a throw-away prefix, under Xvfb) with each variant of bench/InetBench.cpp, and
# prints throughput and peak memory side by side, with ratios against the bare
# 64 KB WinInet loop. Each variant runs RUNS times in fresh processes; the table shows
# the median throughput and the highest peaks.
#   bench/run.sh            (build first: cmake --build build)
#   BENCH_BYTES=... RUNS=... BUILD_DIR=... bench/run.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${BUILD_DIR:-build}
exe="$root/$build/bin/inet_bench.exe"
bytes=${BENCH_BYTES:-104857600}
runs=${RUNS:-3}
if [ ! -f "$exe" ]; then
  echo "run.sh: $exe not found; build first (cmake --build $build)" >&2
  exit 1
fi

work=$(mktemp -d /tmp/twi-bench.XXXXXX)
export TWI_WINEPREFIX="$work/prefix"
server_pid=""
cleanup() {
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  WINEPREFIX="$TWI_WINEPREFIX" /usr/lib/wine/wineserver -k 2>/dev/null || true
  rm -rf "$work" "$TWI_WINEPREFIX.lock"
}
trap cleanup EXIT

mkdir -p "$work/server"
"$root/tests/server/start-http" "$work/server" &
server_pid=$!
for _ in $(seq 1 100); do [ -s "$work/server/http.port" ] && break; sleep 0.05; done
port=$(cat "$work/server/http.port")
url="http://127.0.0.1:$port/bytes/$bytes"
echo "Body: $bytes bytes from $url; $runs runs per variant; Wine prefix $TWI_WINEPREFIX"

variants=(${VARIANTS:-bare-1k bare-64k control control-64k getfile})
# One X display for all runs; the prefix's wineserver goes before the display does.
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  for variant in '"${variants[*]}"'; do
    for run in $(seq 1 '"$runs"'); do
      "'"$root"'/tests/tools/wine-run" "'"$exe"'" "$variant" "'"$url"'" '"$bytes"' | tr -d "\r" | grep "^RESULT"
    done
  done
  WINEPREFIX="$TWI_WINEPREFIX" /usr/lib/wine/wineserver -k 2>/dev/null' >"$work/results.txt"

python3 - "$work/results.txt" <<'PY'
import statistics, sys
rows = {}
for line in open(sys.argv[1]):
    fields = dict(f.split("=", 1) for f in line.split()[1:] if "=" in f)
    name = line.split()[1].split("=", 1)[1]
    rows.setdefault(name, []).append(fields)
labels = {"bare-1k": "(a) WinInet, 1024 B per read", "bare-64k": "(b) WinInet, 64 KB per read",
          "control": "(c) InetControl, GetChunk(1024)",
          "control-64k": "(c') InetControl, GetChunk(65536)",
          "getfile": "(d) download client GetFile"}
def summary(name):
    runs = [r for r in rows.get(name, []) if "mbps" in r]
    if not runs:
        return None
    return {"mbps": statistics.median(float(r["mbps"]) for r in runs),
            "ws": max(int(r["peak_ws"]) for r in runs) / 1048576,
            "pf": max(int(r["peak_pagefile"]) for r in runs) / 1048576,
            "ok": all(r["ok"] == "1" for r in runs), "n": len(runs)}
base = summary("bare-64k")
print("%-34s %10s %7s %13s %7s %16s %7s %s" % ("variant", "MB/s", "x(b)", "peak WS MB", "x(b)",
                                             "peak pagefile MB", "x(b)", "bytes ok"))
for name in ["bare-1k", "bare-64k", "control", "control-64k", "getfile"]:
    s = summary(name)
    if s is None:
        print("%-34s %10s" % (labels[name], "n/a (not built yet)"))
        continue
    ratio = lambda value, key: "%.2f" % (value / base[key]) if base and base[key] else "-"
    print("%-34s %10.1f %7s %13.1f %7s %16.1f %7s %s" % (
        labels[name], s["mbps"], ratio(s["mbps"], "mbps"), s["ws"], ratio(s["ws"], "ws"),
        s["pf"], ratio(s["pf"], "pf"), "yes" if s["ok"] else "NO"))
PY
