#!/usr/bin/env bash
# The module's dynamic symbol table holds exactly the exports named (the
# list in molv_wrap.h), nothing else.
# Usage: check_exports.sh MODULE NAME...
set -euo pipefail
module=$1
shift
expected=$(printf '%s\n' "$@" | sort | tr '\n' ' ' | sed 's/ $//')
actual=$(nm -D --defined-only "$module" | awk '{print $3}' | grep -v '^$' | sort | tr '\n' ' ' | sed 's/ $//')
if [ "$actual" != "$expected" ]; then
  echo "exports differ"; echo "expected: $expected"; echo "actual:   $actual"; exit 1
fi
echo "exports: $actual"
