#!/bin/bash
# UNLHA32.DLL against lhasa on archives of older and other systems' LHA programs (written by
# old_writers.py): rooted names, OS-9 level-2 headers, Amiga file comments after a NUL at
# every level, directory time stamps and an archive cut off inside a member. Both programs
# must list the same names and extract the same files with the same contents and times.
# Usage: old_writers_test.sh UNLHA32_CLI.EXE [EMULATOR]
set -u
cli=$(readlink -f "$1")
emu="${2:-wine}"
case "$emu" in */*) emu=$(readlink -f "$emu") ;; esac
for tool in lhasa python3 cmp; do
  command -v "$tool" >/dev/null || { echo "missing $tool"; exit 1; }
done
work=$(mktemp -d /tmp/unlha32_old.XXXXXX)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0
ok() { passed=$((passed + 1)); }
bad() { failed=$((failed + 1)); echo "FAILED: $*"; }
winpath() { printf 'Z:%s' "${1//\//\\}"; }
unlha() { (cd "$work" && "$emu" "$cli" "$@" </dev/null >"$work/last.log" 2>&1); }

# Files (with their modification times) and directories of a tree, one line each, sorted.
tree_of() { (cd "$1" && find . -mindepth 1 \( -type d -printf 'dir %P\n' \) -o \( -type f -printf 'file %P %s %T@\n' \) | sort); }
# Every file of $1 has the same bytes in $2.
same_bytes() {
  local rel
  while IFS= read -r -d '' rel; do cmp -s "$1/$rel" "$2/$rel" || return 1; done < <(cd "$1" && find . -type f -print0)
}

python3 "$(dirname "$0")/old_writers.py" "$work" || { echo "could not write the archives"; exit 1; }

for name in rooted os9 comment0 comment1 comment2 dirtime; do
  arc="$work/$name.lzh"
  if unlha X -x1a1 "$(winpath "$arc")" "$(winpath "$work/ours_$name")\\" '*.*'; then ok
  else bad "$name: our extraction failed: $(cat "$work/last.log")"; fi
  mkdir -p "$work/lhasa_$name" && (cd "$work/lhasa_$name" && lhasa xq "$arc" >/dev/null 2>&1)
  ours=$(tree_of "$work/ours_$name")
  theirs=$(tree_of "$work/lhasa_$name")
  if [ -n "$ours" ] && [ "$ours" = "$theirs" ]; then ok
  else bad "$name: trees differ"$'\n'"ours:"$'\n'"$ours"$'\n'"lhasa:"$'\n'"$theirs"; fi
  if same_bytes "$work/lhasa_$name" "$work/ours_$name"; then ok; else bad "$name: contents differ"; fi
  # The listing shows the same names, with '/' between the parts where lhasa writes it.
  unlha L "$(winpath "$arc")"
  ours=$(tr -d '\r' <"$work/last.log" | awk '{ n = $7; gsub(/\\/, "/", n); sub(/\/$/, "", n); print n }' | sort)
  theirs=$(lhasa l "$arc" | awk '/^----------/ { inside = !inside; next }
                                 inside { n = $NF; sub(/^\//, "", n); sub(/\/$/, "", n); print n }' | sort)
  if [ "$ours" = "$theirs" ]; then ok; else bad "$name: listed names differ: ours [$ours] lhasa [$theirs]"; fi
done

# Directory times are those stored, after the files inside were written.
if [ "$(stat -c %Y "$work/ours_dirtime/old")" = 1000000000 ] && [ "$(stat -c %Y "$work/ours_dirtime/old/er")" = 1050000000 ]; then ok
else bad "directory times not restored"; fi

# Cut off inside the third member: the first two come back whole, the third not at all,
# and the result says the archive is damaged.
arc="$work/cut.lzh"
if unlha X "$(winpath "$arc")" "$(winpath "$work/ours_cut")\\" '*.*'; then bad "cut archive: extraction reported success"; else ok; fi
mkdir -p "$work/lhasa_cut" && (cd "$work/lhasa_cut" && lhasa xq "$arc" >/dev/null 2>&1)
if cmp -s "$work/ours_cut/one.txt" "$work/lhasa_cut/one.txt" && cmp -s "$work/ours_cut/two.txt" "$work/lhasa_cut/two.txt"; then ok
else bad "cut archive: intact members differ from lhasa's"; fi
if [ ! -e "$work/ours_cut/three.txt" ]; then ok; else bad "cut archive: a piece of the cut member was left"; fi
unlha L "$(winpath "$arc")"
if grep -q 'one.txt' "$work/last.log" && grep -q 'two.txt' "$work/last.log" && grep -q 'damaged' "$work/last.log"; then ok
else bad "cut archive: listing does not show the intact members and the damage: $(cat "$work/last.log")"; fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
