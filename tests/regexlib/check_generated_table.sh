#!/bin/sh
# A generated table must be what its generator writes today: one edited by
# hand, or a generator (or perl's data) changed without the table written
# again, fails here.
#   check_generated_table.sh PERL GENERATOR CHECKED_IN FRESH
# runs the generator with perl into FRESH and compares it with CHECKED_IN.
set -eu
perl=$1 generator=$2 checked_in=$3 fresh=$4
"$perl" "$generator" "$fresh"
if ! cmp -s "$checked_in" "$fresh"; then
  echo "$checked_in is not what $generator writes now ($fresh):" >&2
  diff "$checked_in" "$fresh" | head -n 20 >&2
  exit 1
fi
