#!/usr/bin/env bash
# Reads the DLL's tables: it exports exactly the names given, without any
# decoration; each export returns the way its calling convention says
# (`ret $n` pops the arguments under stdcall, a plain `ret` leaves them under
# cdecl; 64-bit Windows has one convention and undecorated symbols); and it
# imports system DLLs only, no C or C++ runtime of its own.
# Usage: check_dll.sh OBJDUMP DLL cdecl|stdcall|x64 NAME=ARGUMENTS...
set -euo pipefail
objdump=$1 dll=$2 convention=$3
shift 3

# Export name and the bytes of arguments it takes: four for each argument
# (every one is a pointer or a 32-bit integer).
declare -A argument_bytes=()
for export in "$@"; do
  argument_bytes[${export%=*}]=$(( ${export#*=} * 4 ))
done
failed=0
fail() { echo "FAILED: $*"; failed=1; }

# Exactly the ten names, undecorated, and system imports only.
"$(dirname "$0")/check_tables.sh" "$objdump" "$dll" "${!argument_bytes[@]}" || failed=1

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

[ "$failed" -eq 0 ] && echo "$convention exports and system imports as expected"
exit "$failed"
