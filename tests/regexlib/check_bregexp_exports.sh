#!/bin/sh
# bregexp.dll must export the entry points named after it and nothing else,
# so that no symbol of PCRE2 or our internals leaks to the module's process.
set -eu
library=$1
shift
actual=$(nm -D --defined-only "$library" | awk '{print $3}' | sort | tr '\n' ' ')
expected=$(printf '%s\n' "$@" | sort | tr '\n' ' ')
if [ "$actual" != "$expected" ]; then
  echo "exports of $library: $actual" >&2
  echo "expected:            $expected" >&2
  exit 1
fi
