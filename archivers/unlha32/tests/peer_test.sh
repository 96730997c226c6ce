#!/bin/bash
# UNLHA32.DLL against other LHA programs, run natively:
#   archives made by jlha (-lh5-, -lh6-, -lh7-; header levels 0, 1, 2; nested directories)
#   are extracted by our library byte for byte, and archives made by our library, Japanese
#   names included, are extracted byte for byte by lhasa, bsdtar and jlha and tested by 7z;
#   random -lzs- and -lz5- streams decode as lhasa decodes them, and -lh1- archives back to their data.
# Usage: peer_test.sh UNLHA32_CLI.EXE [EMULATOR]
set -u
cli=$(readlink -f "$1")
emu="${2:-wine}"
case "$emu" in */*) emu=$(readlink -f "$emu") ;; esac
for tool in jlha lhasa bsdtar 7z iconv cmp python3; do
  command -v "$tool" >/dev/null || { echo "missing $tool"; exit 1; }
done
if locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8; fi
work=$(mktemp -d /tmp/unlha32_peers.XXXXXX)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

winpath() { printf 'Z:%s' "${1//\//\\}"; }
ok() { passed=$((passed + 1)); }
bad() { failed=$((failed + 1)); echo "FAILED: $*"; }
unlha() { (cd "$work" && "$emu" "$cli" "$@" </dev/null >"$work/last.log" 2>&1); }

# Every regular file and directory of tree $1 must be in $2 with the same bytes; $3 = "sjis"
# when the second tree holds the names as Shift-JIS bytes; $4 = "files" leaves out empty
# directories, which jlha does not store.
same_tree() {
  local from="$1" to="$2" enc="${3:-}" only="${4:-}" rel name
  while IFS= read -r -d '' rel; do
    rel="${rel#./}"
    name="$rel"
    [ "$enc" = sjis ] && name=$(printf '%s' "$rel" | iconv -f UTF-8 -t CP932)
    if [ -d "$from/$rel" ]; then
      [ "$only" = files ] && continue
      [ -d "$to/$name" ] || { echo "missing directory $rel"; return 1; }
    else
      cmp -s "$from/$rel" "$to/$name" || { echo "differs or missing: $rel"; return 1; }
    fi
  done < <(cd "$from" && find . -mindepth 1 -print0)
}

mkdir -p "$work/j/src/bin" "$work/j/src/deep/er/est" "$work/j/src/emptydir"
seq 1 60000 | sed 's/$/ lines of text for the archive, with some repetition/' > "$work/j/src/text.txt"
head -c 50000 /dev/urandom > "$work/j/src/bin/random.bin"
cp /bin/ls "$work/j/src/bin/program.bin"
printf 'deep\r\n' > "$work/j/src/deep/er/est/small.txt"
: > "$work/j/src/empty.txt"

# Archives of another LHA program through our library.
for method in 5 6 7; do
  for level in 0 1 2; do
    arc="$work/j_${method}_${level}.lzh"
    (cd "$work/j" && jlha "a${level}o${method}q" "$arc" src >/dev/null 2>&1)
    what="jlha -lh${method}- level ${level}"
    [ -s "$arc" ] || { bad "$what: jlha made no archive"; continue; }
    out="$work/x_${method}_${level}"
    if unlha X -x1a1 "$(winpath "$arc")" "$(winpath "$out")\\" '*.*'; then ok; else bad "$what: extraction failed: $(cat "$work/last.log")"; fi
    if same_tree "$work/j/src" "$out/src" "" files; then ok; else bad "$what: extracted tree differs"; fi
    # MS-DOS time stamps have two-second steps.
    age=$(( $(stat -c %Y "$work/j/src/text.txt") - $(stat -c %Y "$out/src/text.txt" 2>/dev/null || echo 0) ))
    if [ "${age#-}" -le 2 ]; then ok; else bad "$what: time stamp off by $age s"; fi
    listed=$(unlha L "$(winpath "$arc")"; grep -c . "$work/last.log")
    theirs=$(lhasa l "$arc" | awk '$1 == "Total" { print $2 }')
    if [ "$listed" = "$theirs" ] && [ "$listed" -gt 0 ]; then ok; else bad "$what: we list $listed members, lhasa $theirs"; fi
  done
done

# Archives of our library through the other programs, packed the way the filer packs.
mkdir -p "$work/o"
cp -r "$work/j/src" "$work/o/src"
mkdir -p "$work/o/src/表示/深い階層"
printf '日本語の名前\r\n' > "$work/o/src/日本語.txt"
seq 1 3000 > "$work/o/src/表示/深い階層/データ.txt"
: > "$work/o/src/表示/空.txt"
arc="$work/ours.lzh"
printf 'A -x1a1r2 "%s"\r\n"src\\*.*"\r\n' "$(winpath "$arc")" > "$work/o/\$PACK.LST"
if (cd "$work/o" && "$emu" "$cli" '@$PACK.LST' </dev/null >"$work/last.log" 2>&1); then ok; else bad "packing failed: $(cat "$work/last.log")"; fi
rm -f "$work/o/\$PACK.LST"

mkdir -p "$work/lhasa" && (cd "$work/lhasa" && lhasa xq "$arc" >/dev/null 2>&1)
if same_tree "$work/o/src" "$work/lhasa/src" sjis; then ok; else bad "lhasa does not extract our archive byte for byte"; fi
if lhasa t "$arc" >/dev/null 2>&1; then ok; else bad "lhasa test of our archive fails"; fi

mkdir -p "$work/bsdtar"
if bsdtar -xf "$arc" -C "$work/bsdtar" && same_tree "$work/o/src" "$work/bsdtar/src"; then ok; else bad "bsdtar does not extract our archive byte for byte"; fi

expected=$(cd "$work/o" && find src | wc -l)
listed=$(7z l -slt "$arc" 2>/dev/null | grep -c '^Path = src')
if [ "$listed" = "$expected" ]; then ok; else bad "7z lists $listed entries of our archive, expected $expected"; fi
if 7z t "$arc" 2>/dev/null | grep -q 'Everything is Ok'; then ok; else bad "7z test of our archive fails"; fi

# jlha turns non-ASCII names into '?', so it gets an archive of ASCII names.
arc2="$work/ascii.lzh"
printf 'A -x1a1r2 "%s"\r\n"src\\*.*"\r\n' "$(winpath "$arc2")" > "$work/j/\$PACK.LST"
(cd "$work/j" && "$emu" "$cli" '@$PACK.LST' </dev/null >/dev/null 2>&1)
rm -f "$work/j/\$PACK.LST"
mkdir -p "$work/jx" && (cd "$work/jx" && jlha xq "$arc2" >/dev/null 2>&1)
if same_tree "$work/j/src" "$work/jx/src" "" files; then ok; else bad "jlha does not extract our archive byte for byte"; fi

# Methods of old archives: -lzs- and -lz5- streams as lhasa decodes them, -lh1- data.
old="$work/old"
mkdir -p "$old"
python3 "$(dirname "$0")/old_methods.py" "$old" 10 || bad "could not make the old-method archives"
for arc in "$old"/*.lzh; do
  [ "$(basename "$arc")" = probe.lzh ] && continue
  base="${arc%.lzh}"
  rm -rf "$old/out"
  if unlha X "$(winpath "$arc")" "$(winpath "$old/out")\\" '*.*' && cmp -s "$old/out/x.bin" "$base.expected"; then ok
  else bad "$(basename "$arc"): our extraction differs from lhasa's"; fi
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
