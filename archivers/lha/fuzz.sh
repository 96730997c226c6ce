#!/bin/bash
# Fuzzes the LZH reader natively with libFuzzer: ./kelpo fuzz [SECONDS] runs it from the
# repository root. Inputs that reach new code join fuzz/corpus and crashing inputs are kept
# in fuzz/crashes; the codec tests replay both.
set -euo pipefail
secs="${1:-60}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
out="$root/build/fuzz"
work="$out/lha-corpus"
mkdir -p "$work" "$here/fuzz/crashes"
clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$here" "$here/lha_header.cpp" "$here/lha_decode.cpp" "$here/fuzz/lha_fuzzer.cpp" -o "$out/lha_fuzzer"
cp -n "$here"/fuzz/corpus/* "$work/" 2>/dev/null || true
status=0
"$out/lha_fuzzer" -max_total_time="$secs" -max_len=65536 -timeout=20 -rss_limit_mb=2048 \
  -artifact_prefix="$here/fuzz/crashes/" -print_final_stats=1 "$work" || status=$?
"$out/lha_fuzzer" -merge=1 "$here/fuzz/corpus" "$work" >/dev/null 2>&1 || true
exit $status
