#!/usr/bin/env bash
# Reads a Windows file's tables: it imports system DLLs only (no C or C++
# runtime, no engine of its own beside it) and, when names are given, it
# exports exactly those, undecorated.
# Usage: check_tables.sh OBJDUMP FILE [EXPORT...]
set -euo pipefail
objdump=$1 file=$2
shift 2
system_dlls="advapi32.dll kernel32.dll msvcrt.dll user32.dll"

failed=0
fail() { echo "FAILED: $*"; failed=1; }
headers=$("$objdump" -p "$file")

if [ "$#" -gt 0 ]; then
  # The export name table: lines "[   n] NAME" after its heading.
  exports=$(awk '/\[Ordinal\/Name Pointer\] Table/ {on=1; next}
                 on && /^[ \t]*\[ *[0-9]+\]/ {print $NF; next}
                 on {on=0}' <<<"$headers" | sort)
  expected=$(printf '%s\n' "$@" | sort)
  echo "exports of ${file##*/}:" $exports
  [ -n "$exports" ] || fail "no export name table"
  [ "$exports" = "$expected" ] || fail "exports differ from the expected names:" \
    "$(diff <(echo "$expected") <(echo "$exports") | grep '^[<>]' | tr '\n' ' ')"
  grep -q '[@?]' <<<"$exports" && fail "decorated export names"
  grep -q '^_' <<<"$exports" && fail "export names with a leading underscore"
fi

imports=$(awk '/DLL Name:/ {print tolower($3)}' <<<"$headers" | sort -u)
echo "imports of ${file##*/}:" $imports
[ -n "$imports" ] || fail "no import table"
for dll_name in $imports; do
  [[ " $system_dlls " == *" $dll_name "* ]] || fail "imports $dll_name, not a system DLL"
done
exit "$failed"
