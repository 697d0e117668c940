#!/usr/bin/env bash
# Reads the DLL's tables: it exports exactly the ten MOLV_ names, without any
# decoration; each export returns the way its calling convention says
# (`ret $n` pops the arguments under stdcall, a plain `ret` leaves them under
# cdecl; 64-bit Windows has one convention and undecorated symbols); and it
# imports system DLLs only, no C or C++ runtime of its own.
# Usage: check_dll.sh OBJDUMP DLL cdecl|stdcall|x64
set -euo pipefail
objdump=$1 dll=$2 convention=$3

# Export name and the bytes of arguments it takes.
declare -A argument_bytes=(
  [MOLV_MATCH]=8 [MOLV_SUBST]=8 [MOLV_TRANS]=8 [MOLV_SPLIT]=12 [MOLV_GETNEXT]=0
  [MOLV_HASMORERESULTS]=0 [MOLV_POSTOSTR]=4 [MOLV_ERRORMSG]=0 [MOLV_VERSION]=0
  [MOLV_MOLVWVERSION]=0)
system_dlls="kernel32.dll msvcrt.dll user32.dll"

failed=0
fail() { echo "FAILED: $*"; failed=1; }

headers=$("$objdump" -p "$dll")

# The export name table: lines "[   n] NAME" after its heading.
exports=$(awk '/\[Ordinal\/Name Pointer\] Table/ {on=1; next}
               on && /^[ \t]*\[ *[0-9]+\]/ {print $NF; next}
               on {on=0}' <<<"$headers" | sort)
expected=$(printf '%s\n' "${!argument_bytes[@]}" | sort)
echo "exports:" $exports
[ -n "$exports" ] || fail "no export name table"
[ "$exports" = "$expected" ] || fail "exports differ from the ten MOLV_ names:" \
  "$(diff <(echo "$expected") <(echo "$exports") | grep '^[<>]' | tr '\n' ' ')"
grep -q '[@?]' <<<"$exports" && fail "decorated export names"
grep -q '^_' <<<"$exports" && fail "export names with a leading underscore"

# The calling convention, from the returns of each exported function.
for name in "${!argument_bytes[@]}"; do
  bytes=${argument_bytes[$name]}
  case $convention in
    stdcall) symbol="_${name}@${bytes}" ;;
    x64) symbol=$name ;;
    *) symbol="_${name}" ;;
  esac
  returns=$("$objdump" -d --no-show-raw-insn --disassemble="$symbol" "$dll" |
            awk '$2 ~ /^ret/ {print $2, $3}' | sort -u)
  if [ "$convention" = stdcall ] && [ "$bytes" -gt 0 ]; then
    want=$(printf 'ret $0x%x' "$bytes")
  else
    want="ret"
  fi
  [ -n "$returns" ] || { fail "$symbol not found in the DLL"; continue; }
  [ "$(echo $returns)" = "$want" ] || fail "$name returns with '$(echo $returns)', expected '$want'"
done

# Imports: only DLLs every Windows has.
imports=$(awk '/DLL Name:/ {print tolower($3)}' <<<"$headers" | sort -u)
echo "imports:" $imports
[ -n "$imports" ] || fail "no import table"
for dll_name in $imports; do
  [[ " $system_dlls " == *" $dll_name "* ]] || fail "imports $dll_name, not a system DLL"
done

[ "$failed" -eq 0 ] && echo "$convention exports and system imports as expected"
exit "$failed"
