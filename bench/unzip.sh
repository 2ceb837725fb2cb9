#!/usr/bin/env bash
# Zip extraction benchmark: extracts a deflated archive of text and random data
# (tests/unzip/make_archives.py; 100 MB of content by default) with our library under
# Wine (bench/UnzipBench.cpp, the install center's options) and with Debian's native
# `unzip -qq -o`, side by side in the same run, and prints times, MB/s, the ratio and
# peak memory. A second, smaller archive shows whether memory stays flat with size.
#   bench/unzip.sh            (build first: cmake --build build --target unzip_bench)
#   RUNS=... BIG_MB=... SMALL_MB=... BUILD_DIR=... bench/unzip.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${BUILD_DIR:-build}
exe="$root/$build/bin/unzip_bench.exe"
runs=${RUNS:-3}
big_mb=${BIG_MB:-100}
small_mb=${SMALL_MB:-25}
if [ ! -f "$exe" ]; then
  echo "unzip.sh: $exe not found; build first (cmake --build $build --target unzip_bench)" >&2
  exit 1
fi
for tool in unzip /usr/bin/time python3; do
  command -v "$tool" >/dev/null || { echo "unzip.sh: $tool missing (scripts/install-deps.sh)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/twi-unzip-bench.XXXXXX)
export TWI_WINEPREFIX="$work/prefix"
cleanup() {
  WINEPREFIX="$TWI_WINEPREFIX" /usr/lib/wine/wineserver -k 2>/dev/null || true
  rm -rf "$work" "$TWI_WINEPREFIX.lock"
}
trap cleanup EXIT

for mb in "$big_mb" "$small_mb"; do
  mkdir -p "$work/archives/$mb"
  BIG_MB=$mb python3 tests/unzip/make_archives.py --big-only "$work/archives/$mb"
done
echo "Archives: $big_mb MB and $small_mb MB of content (half text, half random), deflated; $runs runs each"
"$root/tests/tools/prepare-prefix" "$TWI_WINEPREFIX"

results="$work/results.txt"
: > "$results"
for mb in "$big_mb" "$small_mb"; do
  archive="$work/archives/$mb/big.zip"
  for run in $(seq 1 "$runs"); do
    rm -rf "$work/out"; mkdir -p "$work/out"
    line=$("$root/tests/tools/wine-run" "$exe" bench "Z:${archive//\//\\}" "Z:${work//\//\\}\\out" \
           | tr -d '\r' | grep '^RESULT')
    cmp -s "$work/out/big/random.bin" "$work/archives/$mb/expected/big/random.bin" &&
      cmp -s "$work/out/big/text.txt" "$work/archives/$mb/expected/big/text.txt" && ok=1 || ok=0
    echo "ours mb=$mb ok=$ok $line" >> "$results"

    rm -rf "$work/out"; mkdir -p "$work/out"
    start=$(date +%s.%N)
    /usr/bin/time -f "%M" -o "$work/time.txt" unzip -qq -o "$archive" -d "$work/out"
    end=$(date +%s.%N)
    cmp -s "$work/out/big/random.bin" "$work/archives/$mb/expected/big/random.bin" && ok=1 || ok=0
    echo "native mb=$mb ok=$ok seconds=$(awk "BEGIN{print $end - $start}") peak_rss_kb=$(cat "$work/time.txt")" >> "$results"
  done
done
rm -rf "$work/out"

python3 - "$results" "$big_mb" "$small_mb" <<'PY'
import statistics, sys
rows = {}
for line in open(sys.argv[1]):
    parts = line.split()
    fields = dict(p.split("=", 1) for p in parts[1:] if "=" in p)
    rows.setdefault((parts[0], fields["mb"]), []).append(fields)
def summary(who, mb):
    runs = rows.get((who, mb), [])
    seconds = statistics.median(float(r["seconds"]) for r in runs)
    if who == "ours":
        peak = max(int(r["peak_ws"]) for r in runs) / 1048576
    else:
        peak = max(int(r["peak_rss_kb"]) for r in runs) / 1024
    return seconds, int(mb) / seconds, peak, all(r["ok"] == "1" and r.get("rc", "0") == "0" for r in runs)
print("%-44s %9s %8s %7s %14s %s" % ("variant", "seconds", "MB/s", "x(nat)", "peak mem MB", "bytes ok"))
for mb in (sys.argv[2], sys.argv[3]):
    native = summary("native", mb)
    ours = summary("ours", mb)
    print("%-44s %9.2f %8.1f %7s %14.1f %s" % ("native unzip -qq -o, %s MB (Linux, peak RSS)" % mb,
          native[0], native[1], "1.00", native[2], "yes" if native[3] else "NO"))
    print("%-44s %9.2f %8.1f %7.2f %14.1f %s" % ("ours under Wine, %s MB (peak working set)" % mb,
          ours[0], ours[1], ours[1] / native[1], ours[2], "yes" if ours[3] else "NO"))
PY
