#!/bin/bash
# Archives made by zip, bsdtar and 7z are listed through UNZIP32.DLL, read back with the filer's
# column rules (zip_driver list) and compared with what zipinfo reports; then extracted with the
# filer's command strings and compared byte for byte with the files they were made from.
#   peers.sh ZIP_DRIVER_EXE WINE_RUN
set -u
DRIVER="$1"
WINE_RUN="$2"
export TZ=UTC
WORK="$(mktemp -d /tmp/kelpo-zip-peers.XXXXXX)"
trap 'rm -rf "$WORK"' EXIT
FAILS=0

fail() { echo "FAIL: $*"; FAILS=$((FAILS + 1)); }
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
drive() { "$WINE_RUN" "$DRIVER" "$@"; }

# Runs one "UnZip" command line (given in the filer's Windows form) and returns its result.
unzip32() {
  printf '%s\r\n' "$1" > "$WORK/cmd.txt"
  drive run "$(winpath "$WORK/cmd.txt")" > "$WORK/cmd.out" 2>&1
}

for tool in zip zipinfo bsdtar 7z iconv python3; do
  command -v $tool >/dev/null || { echo "missing peer tool $tool"; exit 1; }
done

# The source tree: UTF-8 names on this side, as Wine writes the Shift-JIS names it is given.
SRC="$WORK/src/tree"
mkdir -p "$SRC/sub/deeper" "$SRC/empty dir" "$SRC/表示" "$SRC/ソース"
seq 1 30000 > "$SRC/numbers.txt"
head -c 200000 /dev/urandom > "$SRC/sub/random.bin"
: > "$SRC/sub/empty.txt"
printf 'plain text\r\n' > "$SRC/sub/deeper/crlf.txt"
printf '%s\n' "表示 ソース 日本語" > "$SRC/表示/日本語.txt"
yes "ソース表示" | head -n 2000 > "$SRC/ソース/能力.txt"
printf 'blank' > "$SRC/with blanks.txt"
find "$SRC" -exec touch -h -d '2024-02-03 04:05:06' {} +

# The same tree with Shift-JIS names on disk, for zip which stores names as they are.
SJIS="$WORK/sjis/tree"
mkdir -p "$SJIS"
(cd "$SRC" && find . -mindepth 1 | sort) | while IFS= read -r p; do
  q="$(printf '%s' "$p" | iconv -f UTF-8 -t CP932)"
  if [ -d "$SRC/$p" ]; then mkdir -p "$SJIS/$q"; else cp -p "$SRC/$p" "$SJIS/$q"; fi
done
find "$SJIS" -exec touch -h -d '2024-02-03 04:05:06' {} +

ARCS="$WORK/arcs"
mkdir -p "$ARCS"
(cd "$WORK/sjis" && LANG=C zip -q -r -0 "$ARCS/zip-stored.zip" tree) || fail "zip -0"
(cd "$WORK/sjis" && LANG=C zip -q -r -9 "$ARCS/zip-deflated.zip" tree) || fail "zip -9"
(cd "$WORK/sjis" && LANG=C zip -q -r -fz "$ARCS/zip-zip64.zip" tree) || fail "zip -fz"
(cd "$WORK/src" && LANG=C.UTF-8 bsdtar --format zip -cf "$ARCS/bsdtar.zip" tree) || fail "bsdtar"
(cd "$WORK/src" && LANG=C.UTF-8 7z a -tzip -bd "$ARCS/7z.zip" tree >/dev/null) || fail "7z"
# Info-ZIP on Linux stores the UTF-8 names as they are, without the UTF-8 flag.
(cd "$WORK/src" && LANG=C zip -q -r "$ARCS/zip-utf8.zip" tree) || fail "zip UTF-8"

# What zipinfo reports, one line per member in directory order, in the driver's field order.
expected() {
  local arc="$1" utf8="$2"
  if [ "$utf8" = 1 ]; then
    LANG=C.UTF-8 zipinfo -1 "$arc" | iconv -f UTF-8 -t CP932
  else
    LANG=C zipinfo -1 "$arc"
  fi | sed -e 's|/|\\|g' -e 's|^-|.\\-|' > "$WORK/names"
  LANG=C zipinfo -v "$arc" | awk '
    BEGIN { split("Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec", m, " "); for (i in m) mon[m[i]] = i }
    /^Central directory entry #/ { if (n++) out(); crc = ""; csize = ""; usize = ""; when = ""; method = "" }
    /file last modified on \(DOS date\/time\):/ {
      split($0, a, ":  *"); split(a[2], d, " "); split(d[4], t, ":")
      when = sprintf("%04d-%02d-%02d %02d:%02d:%02d", d[1], mon[d[2]], d[3], t[1], t[2], t[3]) }
    /32-bit CRC value \(hex\):/ { crc = $NF }
    /^  compressed size:/ { csize = $(NF-1) }
    /^  uncompressed size:/ { usize = $(NF-1) }
    /^  compression method:/ { method = ($0 ~ /stored/) ? "Stored" : ($0 ~ /deflated/) ? "Deflate" : "?" }
    function out() { printf "%s\t%s\t%s\t%s\t%s\n", usize, csize, when, crc, method }
    END { if (n) out() }' > "$WORK/fields"
  paste "$WORK/names" "$WORK/fields"
}

check_listing() {
  local arc="$1" utf8="$2" name
  name="$(basename "$arc")"
  drive list "$(winpath "$arc")" > "$WORK/listed.raw" || { fail "$name: listing failed"; return; }
  local count members
  count="$(head -n1 "$WORK/listed.raw" | cut -f2)"
  tail -n +2 "$WORK/listed.raw" | cut -f1-6 > "$WORK/listed"
  expected "$arc" "$utf8" > "$WORK/expected"
  members="$(wc -l < "$WORK/expected")"
  [ "$count" = "$members" ] || fail "$name: totals line counts $count, zipinfo $members"
  if ! cmp -s "$WORK/listed" "$WORK/expected"; then
    fail "$name: listing differs from zipinfo"
    diff "$WORK/expected" "$WORK/listed" | head -n 10 | iconv -f CP932 -t UTF-8 -c
  fi
  echo "listed $name: $count members"
}

# Directories below $1 (from depth $3 on) against the same ones below $2: modification times.
check_dir_times() {
  local d n=0
  while IFS= read -r d; do
    [ "$(stat -c %Y "$1/$d")" = "$(stat -c %Y "$2/$d" 2>/dev/null)" ] || { fail "directory time differs: $d"; return; }
    n=$((n + 1))
  done < <(cd "$1" && find . -mindepth "$3" -type d)
  echo "  $n directory times restored"
}

# Extracts $1 into a fresh directory; the tree found at $2 in it must equal the source tree.
check_extract() {
  local arc="$1" inner="${2-/tree}" name dest
  name="$(basename "$arc")"
  dest="$WORK/out-$name"
  unzip32 "-x \"$(winpath "$arc")\" \"$(winpath "$dest")\\\" *.*" || { fail "$name: extraction result $?"; cat "$WORK/cmd.out"; return; }
  if diff -r "$SRC" "$dest$inner" > "$WORK/diff" 2>&1; then
    echo "extracted $name: identical"
  else
    fail "$name: extracted tree differs"
    head -n 10 "$WORK/diff"
  fi
  check_dir_times "$SRC" "$dest$inner" "$([ -n "$inner" ] && echo 0 || echo 1)"
}

for a in zip-stored zip-deflated zip-zip64; do
  check_listing "$ARCS/$a.zip" 0
  check_extract "$ARCS/$a.zip"
done
for a in bsdtar 7z zip-utf8; do
  check_listing "$ARCS/$a.zip" 1
  check_extract "$ARCS/$a.zip"
done

# bsdtar run inside the tree writes "./" first, which names the destination itself.
(cd "$SRC" && LANG=C bsdtar --format zip -cf "$ARCS/bsdtar-dot.zip" .) || fail "bsdtar ./"
LANG=C zipinfo -1 "$ARCS/bsdtar-dot.zip" | head -n 1 | grep -qx '\./' || fail "bsdtar-dot.zip does not start with ./"
check_listing "$ARCS/bsdtar-dot.zip" 1
check_extract "$ARCS/bsdtar-dot.zip" ""
head -n 1 "$WORK/cmd.out" | grep -q " 0 not extracted" || fail "bsdtar-dot.zip: $(head -n 1 "$WORK/cmd.out")"

# 7z stores the exact NTFS time; an odd second with a fraction survives.
NT="$WORK/ntfs"
mkdir -p "$NT/in"
echo exact > "$NT/in/f.txt"
touch -d '2024-02-03 04:05:07.1234567' "$NT/in/f.txt"
(cd "$NT/in" && 7z a -tzip -bd "$ARCS/7z-ntfs.zip" f.txt >/dev/null) || fail "7z ntfs"
unzip32 "-x \"$(winpath "$ARCS/7z-ntfs.zip")\" \"$(winpath "$NT/out")\\\"" || { fail "7z-ntfs.zip: result $?"; cat "$WORK/cmd.out"; }
[ "$(stat -c %y "$NT/out/f.txt")" = "$(stat -c %y "$NT/in/f.txt")" ] && echo "extracted 7z-ntfs.zip: exact time" ||
  fail "7z-ntfs.zip: time $(stat -c %y "$NT/out/f.txt"), made at $(stat -c %y "$NT/in/f.txt")"

# Shapes written with Python's zipfile: a dated directory written after its files, names
# ending in dots and blanks, and the same archive cut short.
python3 - "$ARCS/py.zip" <<'PY' || fail "python zipfile"
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr(zipfile.ZipInfo("dated/in.txt", (2020, 1, 2, 3, 4, 6)), "inside\n" * 500)
    z.writestr(zipfile.ZipInfo("dated/", (2019, 6, 7, 8, 9, 10)), "")
    z.writestr(zipfile.ZipInfo("dots. /name. .", (2020, 1, 2, 3, 4, 6)), "dots")
PY
unzip32 "-x \"$(winpath "$ARCS/py.zip")\" \"$(winpath "$WORK/py")\\\"" || { fail "py.zip: result $?"; cat "$WORK/cmd.out"; }
[ "$(TZ=UTC date -r "$WORK/py/dated" '+%F %T')" = "2019-06-07 08:09:10" ] || fail "py.zip: directory time $(date -r "$WORK/py/dated")"
[ "$(TZ=UTC date -r "$WORK/py/dated/in.txt" '+%F %T')" = "2020-01-02 03:04:06" ] || fail "py.zip: file time"
[ "$(cat "$WORK/py/dots/name" 2>/dev/null)" = dots ] && echo "extracted py.zip: times, trailing dots dropped" || fail "py.zip: dots. /name. . not written as dots/name"
head -c "$(($(stat -c %s "$ARCS/py.zip") - 40))" "$ARCS/py.zip" > "$ARCS/py-cut.zip"
unzip32 "-x \"$(winpath "$ARCS/py-cut.zip")\" \"$(winpath "$WORK/py-cut")\\\""
r=$?
[ "$r" = 4 ] && echo "py-cut.zip: broken headers (0x8004)" || fail "py-cut.zip: result $r, not 4 (0x8004)"

# zip reading standard input writes a ZIP64 member named "-" with a data descriptor.
seq 1 50000 | LANG=C zip -q "$ARCS/stream.zip" - || fail "zip from standard input"
check_listing "$ARCS/stream.zip" 0
mkdir -p "$WORK/stream"
unzip32 "-x \"$(winpath "$ARCS/stream.zip")\" \"$(winpath "$WORK/stream")\\\" \".\\-\"" || { fail "stream.zip: result $?"; cat "$WORK/cmd.out"; }
seq 1 50000 | cmp -s - "$WORK/stream/-" && echo "extracted stream.zip: identical" || fail "stream.zip: member - differs"

# A ZIP64 archive from more members than the 16-bit count holds, made by 7z.
MANY="$WORK/many/m"
mkdir -p "$MANY"
for i in $(seq 1 65600); do echo "member $i" > "$MANY/f$i.txt"; done
find "$WORK/many" -exec touch -h -d '2023-11-12 13:14:16' {} +
(cd "$WORK/many" && LANG=C.UTF-8 7z a -tzip -mx=1 -bd "$ARCS/7z-many.zip" m >/dev/null) || fail "7z many"
grep -qaP 'PK\x06\x06' "$ARCS/7z-many.zip" && echo "7z-many.zip has a ZIP64 end record" || fail "7z-many.zip is no ZIP64 archive"
check_listing "$ARCS/7z-many.zip" 1
printf -- '-x "%s" "%s\\"\r\n"m\\f1.txt"\r\n"m\\f40000.txt"\r\n"m\\f65600.txt"\r\n' \
  "$(winpath "$ARCS/7z-many.zip")" "$(winpath "$WORK/many-out")" > "$WORK/\$UNPACK.LST"
unzip32 "@$(winpath "$WORK/\$UNPACK.LST")" || { fail "7z-many.zip: response-file extraction result $?"; cat "$WORK/cmd.out"; }
for f in f1.txt f40000.txt f65600.txt; do
  cmp -s "$MANY/$f" "$WORK/many-out/m/$f" || fail "7z-many.zip: $f differs"
done
[ "$(ls "$WORK/many-out/m" | wc -l)" = 3 ] && echo "extracted 3 chosen members of 7z-many.zip" || fail "7z-many.zip: other members extracted"

# A ZIP64 member over 4 GiB (zeros), made by 7z: 64-bit sizes in the directory and local header.
BIG="$WORK/big"
mkdir -p "$BIG"
truncate -s 4400000000 "$BIG/zeros.bin"
touch -d '2024-02-03 04:05:06' "$BIG/zeros.bin"
(cd "$BIG" && 7z a -tzip -mx=1 -bd "$ARCS/7z-big.zip" zeros.bin >/dev/null) || fail "7z big"
rm -f "$BIG/zeros.bin"
drive list "$(winpath "$ARCS/7z-big.zip")" | tail -n +2 | cut -f1-6 > "$WORK/listed"
# The listing columns hold nine digits: a larger size shows as 999999999.
expected "$ARCS/7z-big.zip" 1 | awk -F'\t' 'BEGIN { OFS = "\t" } { if ($2 > 999999999) $2 = 999999999; print }' > "$WORK/expected"
cmp -s "$WORK/listed" "$WORK/expected" && echo "listed 7z-big.zip" || { fail "7z-big.zip: listing differs"; diff "$WORK/expected" "$WORK/listed"; }
unzip32 "-x \"$(winpath "$ARCS/7z-big.zip")\" \"$(winpath "$BIG/out")\\\" *.*" || { fail "7z-big.zip: result $?"; cat "$WORK/cmd.out"; }
if [ "$(stat -c %s "$BIG/out/zeros.bin" 2>/dev/null)" = 4400000000 ] && cmp -s -n 4400000000 "$BIG/out/zeros.bin" /dev/zero; then
  echo "extracted 7z-big.zip: 4400000000 zero bytes"
else
  fail "7z-big.zip: extracted member differs"
fi
rm -rf "$BIG"

if [ "$FAILS" -ne 0 ]; then
  echo "$FAILS peer checks failed"
  exit 1
fi
echo "all peer checks passed"
