#!/bin/bash
# Rebuilds the seed archives of archivers/zip/fuzz/corpus (run once; the corpus is kept in the
# repository): hand-made ones from make_seeds.cpp and small archives made by the peer tools.
set -euo pipefail
HERE="$(cd "$(dirname "$0")" && pwd)"
CORPUS="$HERE/corpus"
TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT
mkdir -p "$CORPUS"
g++ -std=c++17 -O1 -I"$HERE/../../unzip32/tests" "$HERE/make_seeds.cpp" -lz -o "$TMP/make_seeds"
"$TMP/make_seeds" "$CORPUS"
mkdir -p "$TMP/t/d"
printf 'hello\n' > "$TMP/t/a.txt"
seq 1 300 > "$TMP/t/d/n.txt"
: > "$TMP/t/d/empty"
cd "$TMP/t"
export TZ=UTC
zip -q -r -0 "$CORPUS/ok_zip_stored.zip" .
zip -q -r -9 "$CORPUS/ok_zip_deflated.zip" .
zip -q -r -fz "$CORPUS/ok_zip_fz.zip" .
seq 1 100 | zip -q "$CORPUS/ok_zip_stdin.zip" -
bsdtar --format zip -cf "$CORPUS/ok_bsdtar.zip" .
7z a -tzip -bd "$CORPUS/ok_7z.zip" . >/dev/null
