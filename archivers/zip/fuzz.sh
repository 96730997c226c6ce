#!/bin/bash
# Fuzzes the ZIP reader natively with libFuzzer and AddressSanitizer: ./kelpo fuzz [SECONDS].
# New inputs collect in build/fuzz/zip-work; a crash input lands in build/fuzz/zip-artifacts and
# belongs, once fixed, in archivers/zip/fuzz/corpus (named crash-*) where the tests replay it.
set -euo pipefail
SECS="${1:-60}"
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
OUT="$ROOT/build/fuzz"
ZIP="$ROOT/archivers/zip"
mkdir -p "$OUT/zip-work" "$OUT/zip-artifacts"
clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I"$ZIP" \
  "$ZIP/zip_reader.cpp" "$ZIP/zip_names.cpp" "$ZIP/zip_command.cpp" "$ZIP/zip_fs_posix.cpp" \
  "$ZIP/fuzz/zip_fuzz.cpp" -lz -o "$OUT/zip_fuzz"
"$OUT/zip_fuzz" -max_total_time="$SECS" -timeout=20 -rss_limit_mb=2048 -max_len=65536 \
  -artifact_prefix="$OUT/zip-artifacts/" "$OUT/zip-work" "$ZIP/fuzz/corpus"
