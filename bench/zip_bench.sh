#!/bin/bash
# Extraction throughput of UNZIP32.DLL (under Wine) against Info-ZIP unzip (native) on the same
# archive, measured in one run; prints ratios (baseline time / our time, above 1 = faster).
# Run: bench/zip_bench.sh [BUILD_OUT_DIR]   (default build/x64, needs zip_driver.exe from the test build)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
OUT="${1:-$ROOT/build/x64}"
DRIVER="$OUT/zip_driver.exe"
WINE_RUN="$ROOT/tools/wine-run"
[ -f "$DRIVER" ] && [ -f "$OUT/UNZIP32.DLL" ] || { echo "build the x64 tests first (zip_driver.exe, UNZIP32.DLL in $OUT)"; exit 1; }
WORK="$(mktemp -d /tmp/kelpo-zip-bench.XXXXXX)"
trap 'rm -rf "$WORK"' EXIT
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
now() { date +%s.%N; }

# Two archives: one where the data volume dominates (throughput), one of many small files
# (per-file cost: under Wine every file creation and rename is a server round trip).
mkdir -p "$WORK/data/text" "$WORK/data/bin" "$WORK/data/small" "$WORK/files"
for i in $(seq 1 8); do seq $((i * 1000000)) $((i * 1000000 + 1500000)) > "$WORK/data/text/numbers$i.txt"; done
for i in $(seq 1 4); do head -c 16000000 /dev/urandom > "$WORK/data/bin/random$i.bin"; done
for i in $(seq 1 100); do seq 1 $((i * 50)) > "$WORK/data/small/s$i.txt"; done
for i in $(seq 1 2000); do seq 1 $((i % 300 + 1)) > "$WORK/files/s$i.txt"; done
(cd "$WORK/data" && zip -q -r -6 "$WORK/data.zip" .)
(cd "$WORK/files" && zip -q -r -6 "$WORK/files.zip" .)

measure() {
  local name="$1" arc="$WORK/$1.zip"
  echo "$name.zip: $(du -sh "$arc" | cut -f1) compressed, $(du -sh "$WORK/$name" | cut -f1) on disk, $(find "$WORK/$name" -type f | wc -l) files"
  printf -- '-x "%s" "%s\\" *.*\r\n' "$(winpath "$arc")" "$(winpath "$WORK/ours")" > "$WORK/cmd.txt"
  local best_unzip=999999 best_call=999999 best_wall=999999 run u call w t0 t1
  for run in 1 2 3; do
    rm -rf "$WORK/base" "$WORK/ours"
    t0=$(now); unzip -qq -o "$arc" -d "$WORK/base"; t1=$(now)
    u=$(echo "$t1 - $t0" | bc -l)
    t0=$(now); call=$("$WINE_RUN" "$DRIVER" time "$(winpath "$WORK/cmd.txt")" | awk '/^seconds/ {print $2}'); t1=$(now)
    w=$(echo "$t1 - $t0" | bc -l)
    diff -rq "$WORK/base" "$WORK/ours" >/dev/null || { echo "extracted trees differ"; exit 1; }
    printf '  run %d: unzip %.3f s, UNZIP32.DLL %.3f s in the call, %.3f s with Wine start-up\n' "$run" "$u" "$call" "$w"
    best_unzip=$(echo "if ($u < $best_unzip) $u else $best_unzip" | bc -l)
    best_call=$(echo "if ($call < $best_call) $call else $best_call" | bc -l)
    best_wall=$(echo "if ($w < $best_wall) $w else $best_wall" | bc -l)
  done
  printf '  ratio (unzip time / UNZIP32.DLL time), best of 3: %.2f in the call, %.2f including Wine start-up\n' \
    "$(echo "$best_unzip / $best_call" | bc -l)" "$(echo "$best_unzip / $best_wall" | bc -l)"
}

measure data
measure files
