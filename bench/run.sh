#!/usr/bin/env bash
# Download benchmark: starts the fixture HTTP server, fetches a large body (1 GB unless
# BENCH_BYTES says otherwise) under Wine (in a throw-away prefix, under Xvfb) with each
# variant of bench/InetBench.cpp, and natively with curl writing the same body to a file
# (the ceiling of this server, the loopback and the disk), and prints side by side, with
# ratios against the bare 64 KB WinInet loop that writes its file (b) of the same run and
# the throughput's ratio to curl's:
#   - throughput (median of the runs);
#   - processor seconds per 100 MB (median): the process's own, and with the Wine
#     server's share added (events and waits are served there; what the server spends
#     on starting a process that transfers nothing is taken off);
#   - the time from the server's last byte to the end of the transfer (for GetFile: its
#     return), median;
#   - the peak working set and peak committed memory for a 100 MB body and for the large
#     one (highest of the runs), to show that memory does not grow with the body.
# Beside them, the check a package gets: Sha256OfFile over a 100 MB file (sha256), and
# natively sha256sum over one (the ceiling), with the time for 100 MB next to the
# downloads' time for 100 MB.
# Runs go round-robin over the variants, so that a change of the machine's load touches
# them alike; the machine's load is printed before and after.
#
#   bench/run.sh            (build first: scripts/build.sh)
#   BENCH_BYTES=... RUNS=... VARIANTS="..." BUILD_DIR=... bench/run.sh
#   COMPARE_EXE=/path/to/other/inet_bench.exe bench/run.sh
#       also runs that build's control and GetFile variants, shown as "old" rows
#
# The 1 KB loop reads 100 MB at most (at ~10 MB/s a gigabyte would take minutes a run).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${BUILD_DIR:-build}
exe="$root/$build/bin/inet_bench.exe"
bytes=${BENCH_BYTES:-1073741824}
small=104857600
runs=${RUNS:-3}
compare=${COMPARE_EXE:-}
variants=(${VARIANTS:-bare-1k bare-64k control control-64k getfile})
if [ ! -f "$exe" ]; then
  echo "run.sh: $exe not found; build first (scripts/build.sh)" >&2
  exit 1
fi
if [ -n "$compare" ] && [ ! -f "$compare" ]; then
  echo "run.sh: COMPARE_EXE $compare not found" >&2
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
echo "Body: $bytes bytes (peak memory also at $small) from 127.0.0.1:$port; $runs runs per variant"
echo "Load before: $(uptime)"

# The list of runs: "tag variant size exe" per line; tag "new" for this build, "old" for
# COMPARE_EXE.
plan="$work/plan.txt"
: >"$plan"
for run in $(seq 1 "$runs"); do
  echo "native curl $bytes -" >>"$plan"
  echo "native sha256sum $small -" >>"$plan"
  echo "new sha256 $small $exe" >>"$plan"
  for variant in "${variants[@]}"; do
    size=$bytes
    [ "$variant" = bare-1k ] && [ "$size" -gt "$small" ] && size=$small
    echo "new $variant $size $exe" >>"$plan"
    if [ -n "$compare" ] && [[ $variant == control* || $variant == getfile ]]; then
      echo "old $variant $size $compare" >>"$plan"
    fi
  done
done
for variant in "${variants[@]}"; do  # the peaks at 100 MB
  [ "$bytes" -gt "$small" ] || break
  echo "new $variant $small $exe" >>"$plan"
  if [ -n "$compare" ] && [[ $variant == control* || $variant == getfile ]]; then
    echo "old $variant $small $compare" >>"$plan"
  fi
done

# One X display for all runs; the prefix's wineserver goes before the display does.
cat >"$work/runs.sh" <<'RUNS'
set -u
# The Wine server of this prefix: its working folder is named after the prefix's device
# and inode.
server_cpu() {
  local id pid
  id=$(printf 'server-%x-%x' $(stat -c '%d %i' "$TWI_WINEPREFIX"))
  for pid in /proc/[0-9]*; do
    case "$(readlink "$pid/cwd" 2>/dev/null)" in
      */"$id") awk '{print $14 + $15}' "$pid/stat"; return ;;
    esac
  done
  echo 0
}
# A first program run prepares the prefix (and starts its server) outside the figures.
"$ROOT/tests/tools/wine-run" "$EXE" idle >/dev/null 2>&1
for i in 1 2 3; do
  before=$(server_cpu)
  "$ROOT/tests/tools/wine-run" "$EXE" idle >/dev/null 2>&1
  echo "IDLE server_ticks=$(( $(server_cpu) - before ))"
done
# The native ceiling: curl writes the body to a file; its file is checked for its size.
native_run() {
  local size=$1 name=$2 out="$WORK/$2.curl" start end got
  start=$(date +%s.%N)
  /usr/bin/time -f "%U %S %M" -o "$WORK/$name.time" \
    curl -s -o "$out" "http://127.0.0.1:$PORT/marked/$size/$name"
  end=$(date +%s.%N)
  got=$(stat -c %s "$out" 2>/dev/null || echo 0)
  rm -f "$out"
  read -r user sys rss <"$WORK/$name.time"
  awk -v b="$got" -v n="$size" -v s="$start" -v e="$end" -v u="$user" -v y="$sys" -v r="$rss" \
    'BEGIN { t = e - s; printf "RESULT variant=curl bytes=%d seconds=%.3f mbps=%.1f cpu=%.3f peak_ws=%d peak_pagefile=0 end_wall=%.6f ok=%d\n", b, t, b / 1048576 / t, u + y, r * 1024, e, (b == n) }'
}
# The native hash: sha256sum over a file of the same size, just written (in the page
# cache, as the bench's own file is).
native_hash() {
  local size=$1 file="$WORK/hash.bin" start end
  head -c "$size" /dev/zero >"$file"
  start=$(date +%s.%N)
  /usr/bin/time -f "%U %S %M" -o "$WORK/hash.time" sha256sum "$file" >/dev/null
  end=$(date +%s.%N)
  rm -f "$file"
  read -r user sys rss <"$WORK/hash.time"
  awk -v b="$size" -v s="$start" -v e="$end" -v u="$user" -v y="$sys" -v r="$rss" \
    'BEGIN { t = e - s; printf "RESULT variant=sha256sum bytes=%d seconds=%.3f mbps=%.1f cpu=%.3f peak_ws=%d peak_pagefile=0 end_wall=%.6f ok=1\n", b, t, b / 1048576 / t, u + y, r * 1024, e }'
}
n=0
while read -r tag variant size exe; do
  n=$((n + 1))
  name="run$n"
  if [ "$tag" = native ] && [ "$variant" = sha256sum ]; then
    echo "$(native_hash "$size") tag=$tag size=$size server_ticks=0 lastbyte=0"
    continue
  fi
  if [ "$tag" = native ]; then
    line=$(native_run "$size" "$name")
    last=$(cat "$SERVER_ROOT/$name.lastbyte" 2>/dev/null || echo 0)
    rm -f "$SERVER_ROOT/$name.lastbyte"
    echo "$line tag=$tag size=$size server_ticks=0 lastbyte=$last"
    continue
  fi
  before=$(server_cpu)
  line=$("$ROOT/tests/tools/wine-run" "$exe" "$variant" \
           "http://127.0.0.1:$PORT/marked/$size/$name" "$size" | tr -d '\r' | grep '^RESULT' || true)
  after=$(server_cpu)
  last=$(cat "$SERVER_ROOT/$name.lastbyte" 2>/dev/null || echo 0)
  rm -f "$SERVER_ROOT/$name.lastbyte"
  echo "$line tag=$tag size=$size server_ticks=$((after - before)) lastbyte=$last"
done <"$PLAN"
WINEPREFIX="$TWI_WINEPREFIX" /usr/lib/wine/wineserver -k 2>/dev/null
RUNS
ROOT="$root" EXE="$exe" PORT="$port" PLAN="$plan" SERVER_ROOT="$work/server/http-root" WORK="$work" \
  xvfb-run -a -s "-screen 0 1024x768x24" bash "$work/runs.sh" >"$work/results.txt"
echo "Load after:  $(uptime)"

python3 - "$work/results.txt" "$bytes" "$small" "$(getconf CLK_TCK)" <<'PY'
import statistics, sys
path, big, small, tck = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
rows = {}
idle = [int(l.split("=")[1]) for l in open(path) if l.startswith("IDLE")]
idle_ticks = statistics.median(idle) if idle else 0
for line in open(path):
    if not line.startswith("RESULT"):
        continue
    f = dict(x.split("=", 1) for x in line.split()[1:] if "=" in x)
    if "mbps" not in f:
        continue
    rows.setdefault((f["tag"], f["variant"], int(f["size"])), []).append(f)

labels = {"curl": "(n) native curl, file", "bare-1k": "(a) WinInet, 1 KB reads, file*", "bare-64k": "(b) WinInet, 64 KB reads, file",
          "control": "(c) control, GetChunk(1024)", "control-64k": "(c') control, GetChunk(65536)",
          "getfile": "(d) GetFile", "sha256": "(h) Sha256OfFile, 100 MB file",
          "sha256sum": "(hn) native sha256sum, 100 MB"}
per100 = lambda f, cpu: cpu * 104857600 / max(1, int(f["bytes"]))

def summary(tag, variant):
    size = big
    runs = rows.get((tag, variant, size)) or []
    if not runs:  # (a) and the hashes run at 100 MB only
        size = small
        runs = rows.get((tag, variant, size)) or []
    if not runs:
        return None
    small_runs = rows.get((tag, variant, small)) or []
    tails = [float(r["end_wall"]) - float(r["lastbyte"]) for r in runs if float(r["lastbyte"]) > 0]
    return {
        "mbps": statistics.median(float(r["mbps"]) for r in runs),
        "cpu": statistics.median(per100(r, float(r["cpu"])) for r in runs),
        "cpuall": statistics.median(per100(r, float(r["cpu"]) + max(0, int(r["server_ticks"]) - idle_ticks) / tck)
                                    for r in runs),
        "tail": statistics.median(tails) * 1000 if tails else None,
        "ws_big": max(int(r["peak_ws"]) for r in runs) / 1048576,
        "pf_big": max(int(r["peak_pagefile"]) for r in runs) / 1048576,
        "ws_small": max(int(r["peak_ws"]) for r in small_runs) / 1048576 if small_runs else None,
        "pf_small": max(int(r["peak_pagefile"]) for r in small_runs) / 1048576 if small_runs else None,
        "ok": all(r["ok"] == "1" for r in runs + small_runs), "n": len(runs)}

base = summary("new", "bare-64k")
ceiling = summary("native", "curl")
def ratio(s, key, to=None):
    to = to or base
    return "%.2f" % (s[key] / to[key]) if to and to.get(key) and s.get(key) is not None else "-"
def num(value, fmt):
    return fmt % value if value is not None else "-"

head = ("%-36s %8s %6s %6s %9s %6s %9s %6s %8s %15s %15s %s" %
        ("variant", "MB/s", "x(b)", "x(n)", "cpu/100MB", "x(b)", "+server", "x(b)", "tail ms",
         "WS MB 100M/big", "commit 100M/big", "ok"))
print(head)
for tag, variant in ([("native", "curl")] +
                     [(t, v) for t in ["new", "old"]
                      for v in ["bare-1k", "bare-64k", "control", "control-64k", "getfile"]] +
                     [("native", "sha256sum"), ("new", "sha256")]):
    s = summary(tag, variant)
    if s is None:
        continue
    label = "old " + labels[variant] if tag == "old" else labels[variant]
    print("%-36s %8.1f %6s %6s %9.3f %6s %9.3f %6s %8s %7s/%-7s %7s/%-7s %s (%d runs)" % (
        label, s["mbps"], ratio(s, "mbps"), ratio(s, "mbps", ceiling), s["cpu"],
        ratio(s, "cpu"), s["cpuall"],
        ratio(s, "cpuall"), num(s["tail"], "%.1f"), num(s["ws_small"], "%.1f"),
        num(s["ws_big"], "%.1f"), num(s["pf_small"], "%.1f"), num(s["pf_big"], "%.1f"),
        "yes" if s["ok"] else "NO", s["n"]))
hash_row, hash_native, getfile = (summary("new", "sha256"), summary("native", "sha256sum"),
                                  summary("new", "getfile"))
if hash_row:
    per = lambda s: 100 / s["mbps"] if s else None
    print("100 MB: download (b) %s s, GetFile (d) %s s; Sha256OfFile (h) %.3f s = %s x (b), %s x (d);"
          " native sha256sum %s s, (h) = %s x it" % (
              num(per(base), "%.3f"), num(per(getfile), "%.3f"), per(hash_row),
              "%.2f" % (per(hash_row) / per(base)) if base else "-",
              "%.2f" % (per(hash_row) / per(getfile)) if getfile else "-",
              num(per(hash_native), "%.3f"),
              "%.2f" % (per(hash_row) / per(hash_native)) if hash_native else "-"))
print("* (a) reads 100 MB at most. (n): curl, not under Wine; its memory is its peak")
print("  resident set. Medians; peaks are the highest of the runs.")
PY
