#!/bin/bash
# Many files in one directory: UNLHA32.DLL's extraction time against a bare
# CreateFileA/WriteFile/CloseHandle loop writing the same files, both under Wine in this
# run, for 2,000 and 8,000 files (target ratio at most 2; up to 2,000 files the best of three
# runs). The times are those inside the two programs, without the start-up of Wine.
# Run after ./kelpo build:   bash bench/lha_manyfiles.sh [BUILD_DIR] [COUNTS…]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
shift || true
[ $# -gt 0 ] && counts=("$@") || counts=(2000 8000)
cli="$build/x64/unlha32_cli.exe"
bare="$build/x64/lha_bare_writer.exe"
for f in "$cli" "$bare"; do [ -f "$f" ] || { echo "build first: $f is missing" >&2; exit 1; }; done
command -v jlha >/dev/null || { echo "needs jlha" >&2; exit 1; }
export WINEPREFIX="${WINEPREFIX:-$build/wine}" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work=$(mktemp -d /tmp/lha_manyfiles.XXXXXX)
trap 'rm -rf "$work"' EXIT
wineserver -p10 2>/dev/null || true  # stays between the runs, leaves 10 s after them
win() { printf 'Z:%s' "${1//\//\\}"; }
seconds() { awk '/^seconds/ { print $2 }'; }

for n in "${counts[@]}"; do
  src="$work/src$n/many"
  mkdir -p "$src"
  for ((i = 0; i < n; i++)); do
    printf 'file %d of the many-files benchmark\r\n' "$i" > "$src/member_$(printf '%05d' "$i").txt"
  done
  (cd "$work/src$n" && jlha a2q "$work/many$n.lzh" many >/dev/null)
  # Short runs are the best of three, into fresh directories each time.
  ours="" base=""
  for ((run = 0; run < (n <= 2000 ? 3 : 1); run++)); do
    rm -rf "$work/ours$n" "$work/bare$n"
    o=$(UNLHA32_TIME=1 wine "$cli" x "$(win "$work/many$n.lzh")" "$(win "$work/ours$n")\\" '*.*' </dev/null 2>&1 >/dev/null | seconds)
    b=$(wine "$bare" "$(win "$src")" "$(win "$work/bare$n")" </dev/null | seconds)
    [ "$(ls "$work/ours$n/many" | wc -l)" = "$n" ] || { echo "extraction of $n files incomplete" >&2; exit 1; }
    ours=$(awk -v a="$ours" -v b="$o" 'BEGIN { print (a == "" || b < a) ? b : a }')
    base=$(awk -v a="$base" -v b="$b" 'BEGIN { print (a == "" || b < a) ? b : a }')
  done
  awk -v n="$n" -v o="$ours" -v b="$base" \
    'BEGIN { printf "%5d files  ours/bare = %.2f  (ours %.2f s, bare loop %.2f s)\n", n, o / b, o, b }'
  rm -rf "$work/ours$n" "$work/bare$n" "$work/src$n"
done
