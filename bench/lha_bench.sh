#!/bin/bash
# Benchmarks of UNLHA32.DLL; every figure is a ratio against another program measured in the
# same run on the same files:
#   size     our -lh5- archive / jlha's -lh5- archive                  (target <= 1.00)
#   pack     jlha's time / our time                                    (above 1 = we are faster)
#   extract  lhasa's time (native) / our time (under Wine), same archive (target >= 1.0)
# Our times are for the whole process under Wine, the library's own share in brackets.
# Run after ./kelpo build:   bash bench/lha_bench.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${1:-$root/build}"
cli="${UNLHA32_CLI:-$build/x64/unlha32_cli.exe}"
[ -f "$cli" ] || { echo "build first: $cli is missing" >&2; exit 1; }
export WINEPREFIX="${WINEPREFIX:-$build/wine}" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
work=$(mktemp -d /tmp/lha_bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
wineserver -p 2>/dev/null || true

# Text of several kinds, C headers, and programs for Linux and Windows.
mkdir -p "$work/corpus/text" "$work/corpus/include" "$work/corpus/bin"
cp /usr/share/common-licenses/* "$work/corpus/text/" 2>/dev/null || true
seq 1 400000 | awk '{ printf "%s INFO request %d served in %d ms from cache %s\n", strftime("%H:%M:%S", $1), $1 * 7 % 1000, $1 % 97, ($1 % 3 ? "hit" : "miss") }' > "$work/corpus/text/log.txt"
cp /usr/include/*.h "$work/corpus/include/" 2>/dev/null || true
cp /usr/bin/bash /usr/bin/ls /usr/bin/cmake "$work/corpus/bin/" 2>/dev/null || true
for dll in shell32 user32 kernelbase msxml3 comctl32; do
  f=$(ls /usr/lib/x86_64-linux-gnu/wine/x86_64-windows/$dll.dll 2>/dev/null || true)
  [ -n "$f" ] && cp "$f" "$work/corpus/bin/"
done
files=$(find "$work/corpus" -type f | wc -l)
bytes=$(du -sb "$work/corpus" | cut -f1)

now() { date +%s.%N; }
# best of three: prints the shortest wall time of "$@"
best() {
  local b="" t0 t1 d
  for _ in 1 2 3; do
    t0=$(now); "$@" >/dev/null 2>&1; t1=$(now)
    d=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }')
    if [ -z "$b" ] || awk -v d="$d" -v b="$b" 'BEGIN { exit !(d < b) }'; then b=$d; fi
  done
  echo "$b"
}
win() { printf 'Z:%s' "${1//\//\\}"; }
ours_pack() { rm -f "$work/ours.lzh"; (cd "$work" && wine "$cli" a -x1a1r2 "$(win "$work/ours.lzh")" 'corpus\*.*' </dev/null); }
jlha_pack() { rm -f "$work/jlha.lzh"; (cd "$work" && jlha a2o5q "$work/jlha.lzh" corpus); }
ours_extract() { rm -rf "$work/ox"; wine "$cli" x -x1a1 "$(win "$work/ours.lzh")" "$(win "$work/ox")\\" '*.*' </dev/null; }
lhasa_extract() { rm -rf "$work/lx"; mkdir -p "$work/lx"; (cd "$work/lx" && lhasa xq "$work/ours.lzh"); }
inside() { UNLHA32_TIME=1 "$@" 2>&1 >/dev/null | awk '/^seconds/ { print $2 }'; }

t_ours_pack=$(best ours_pack)
in_pack=$(inside ours_pack)
t_jlha_pack=$(best jlha_pack)
size_ours=$(stat -c %s "$work/ours.lzh")
size_jlha=$(stat -c %s "$work/jlha.lzh")
t_ours_x=$(best ours_extract)
in_x=$(inside ours_extract)
t_lhasa_x=$(best lhasa_extract)
diff -r "$work/ox" "$work/lx" >/dev/null || { echo "the two extractions differ" >&2; exit 1; }

echo "corpus: $files files, $bytes bytes"
awk -v o="$size_ours" -v j="$size_jlha" 'BEGIN { printf "size     ours/jlha  = %.4f  (ours %d bytes, jlha %d bytes)\n", o / j, o, j }'
awk -v o="$t_ours_pack" -v i="$in_pack" -v j="$t_jlha_pack" -v n="$bytes" \
  'BEGIN { printf "pack     jlha/ours  = %.2f    (ours %.2f s [%.2f s], %.1f MB/s; jlha %.2f s)\n", j / o, o, i, n / o / 1e6, j }'
awk -v o="$t_ours_x" -v i="$in_x" -v l="$t_lhasa_x" -v n="$bytes" \
  'BEGIN { printf "extract  lhasa/ours = %.2f    (ours %.2f s [%.2f s], %.1f MB/s; lhasa %.2f s)\n", l / o, o, i, n / o / 1e6, l }'
