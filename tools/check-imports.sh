#!/bin/bash
# Checks that the shipped Windows programs ask Windows only for what the oldest systems they are
# meant for provide: every function imported by Kelpo.EXE, UNLHA32.DLL and UNZIP32.DLL in each
# DIR must be in tools/allowed-imports-i686.txt or, for a 64-bit one, in that list or in
# tools/allowed-imports-x64.txt ("dll function" per line, the DLL in lower case, # comments).
#   check-imports.sh DIR…          check; exit 77 (skipped) when a DIR holds none of them yet
#   check-imports.sh --list FILE   print FILE's imports as "dll function" lines
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
objdump=x86_64-w64-mingw32-objdump   # reads 32-bit and 64-bit Windows programs alike
export LC_ALL=C                      # objdump's headings, which are parsed here, untranslated

# Ordinal imports come out as "<none>" names; they are listed as "#ORDINAL".
imports() {
  "$objdump" -p "$1" | awk '
    /^The Import Tables/ { inside = 1; next }
    inside && /^The / { inside = 0 }
    !inside { next }
    /DLL Name:/ { dll = tolower($3); next }
    dll != "" && /^\t[0-9a-f]+\t/ {
      name = $3
      if (name == "" || name == "<none>") name = "#" $2
      print dll, name
    }' | sort -u
}

arch_of() {
  case "$("$objdump" -f "$1")" in
    *pei-i386*) echo i686 ;;
    *pei-x86-64*) echo x64 ;;
    *) echo unknown ;;
  esac
}

if [ "${1:-}" = --list ]; then imports "$2"; exit 0; fi

checked=0 bad=0
for dir in "$@"; do
  for name in Kelpo.EXE UNLHA32.DLL UNZIP32.DLL; do
    file="$dir/$name"
    if [ ! -f "$file" ]; then
      echo "missing: $file"; bad=1; continue
    fi
    arch=$(arch_of "$file")
    case "$arch" in
      i686) lists=("$here/allowed-imports-i686.txt") ;;
      x64) lists=("$here/allowed-imports-i686.txt" "$here/allowed-imports-x64.txt") ;;
      *) echo "$file: not a 32-bit or 64-bit Windows program"; bad=1; continue ;;
    esac
    # Read once into a variable: "grep -q" on a pipe stops reading early, and with pipefail the
    # writer's broken pipe would count as a failure.
    found=$(imports "$file")
    if ! grep -q '^kernel32\.dll ' <<<"$found"; then
      echo "$file: no imports read (every Windows program imports from KERNEL32.DLL)"; bad=1; continue
    fi
    outside=$(grep -vxF -f <(sed -e 's/#.*//' -e 's/[[:space:]]*$//' -e '/^$/d' "${lists[@]}") <<<"$found" || true)
    count=$(wc -l <<<"$found")
    checked=$((checked + 1))
    if [ -n "$outside" ]; then
      echo "$file ($arch): imports outside the allowed lists:"
      echo "$outside" | sed 's/^/  /'
      bad=1
    else
      echo "$file ($arch): $count imports, all allowed"
    fi
  done
done
[ "$checked" -gt 0 ] || { echo "none of the shipped programs is built yet (./kelpo build)"; exit 77; }
exit $bad
