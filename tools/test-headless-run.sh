#!/bin/bash
# ./kelpo run and ./kelpo screenshot on a machine without a display: the first run in a Wine
# prefix that does not exist yet, with a Linux path, and a later one with a Windows path. Each must
# print the path of a PNG showing Kelpo, and Kelpo must have listed the directory asked for. The
# later run starts the 64-bit program as shipped (build/x64-ship) when it is built.
# Uses the programs already built (KELPO_BUILD, default build/); takes a minute or two.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
work=$(mktemp -d "${TMPDIR:-/tmp}/kelpo-headless.XXXXXX")
shots=()
trap 'rm -rf "$work" "${shots[@]}"' EXIT
unset DISPLAY WINESERVER
export WINEPREFIX="$work/wine" KELPO_PREBUILT=1
mkdir -p "$work/dir/subdir"
echo probe > "$work/dir/probe7.txt"
winpath() { printf 'Z:%s' "${1//\//\\}"; }

fail() { echo "FAIL: $*" >&2; exit 1; }

# $1: what ./kelpo printed; $2: the screen dump the run left
check_run() {
  local png dump="$2"
  png=$(tail -n 1 "$1")
  shots+=("$png")
  [ -s "$png" ] || fail "no PNG at '$png' (output: $(cat "$1"))"
  file -b "$png" | grep -q '^PNG image data' || fail "$png is not a PNG"
  local colours; colours=$(identify -format '%k' "$png")
  [ "$colours" -gt 4 ] || fail "$png shows no window ($colours colours)"
  grep -qi 'probe7' "$dump" || fail "Kelpo did not list the directory: $(head -c 2000 "$dump")"
  grep -qi 'subdir' "$dump" || fail "Kelpo did not list the subdirectory"
  echo "ok: $png ($colours colours)"
}

[ ! -e "$WINEPREFIX" ] || fail "the prefix exists already"
KELPO_SCREEN_DUMP="$(winpath "$work/first.txt")" "$root/kelpo" run "$work/dir" > "$work/first.out" ||
  fail "./kelpo run failed: $(cat "$work/first.out")"
check_run "$work/first.out" "$work/first.txt"

build="${KELPO_BUILD:-$root/build}"
shipped="$build/x64-ship/Kelpo.EXE"
if [ -f "$shipped" ]; then export KELPO_EXE="$shipped"; else echo "not built, so not started: $shipped"; fi
KELPO_SCREEN_DUMP="$(winpath "$work/second.txt")" "$root/kelpo" screenshot "$(winpath "$work/dir")" "$work/second.png" \
  > "$work/second.out" || fail "./kelpo screenshot failed: $(cat "$work/second.out")"
check_run "$work/second.out" "$work/second.txt"
