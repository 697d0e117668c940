#!/usr/bin/env bash
# The module's dynamic symbol table holds exactly the ten MOLV_ functions.
set -euo pipefail
expected="MOLV_ERRORMSG MOLV_GETNEXT MOLV_HASMORERESULTS MOLV_MATCH MOLV_MOLVWVERSION MOLV_POSTOSTR MOLV_SPLIT MOLV_SUBST MOLV_TRANS MOLV_VERSION"
actual=$(nm -D --defined-only "$1" | awk '{print $3}' | grep -v '^$' | sort | tr '\n' ' ' | sed 's/ $//')
if [ "$actual" != "$expected" ]; then
  echo "exports differ"; echo "expected: $expected"; echo "actual:   $actual"; exit 1
fi
echo "exports: $actual"
