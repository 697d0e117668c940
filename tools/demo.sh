#!/bin/sh
# The main job through molv, with the module and our bregexp.dll beside it:
# a match with groups, a global substitution, a translation and a split,
# each shown as the command a user would type and what it prints.
# Usage: tools/demo.sh PATH/TO/molv
set -eu

if [ $# -ne 1 ] || [ ! -x "$1" ]; then
  echo "usage: tools/demo.sh PATH/TO/molv (an executable molv, e.g. build/default/bin/molv)" >&2
  exit 2
fi
molv_program=$1

# The commands below read as typed at a prompt; "molv" is the given program.
molv() { "$molv_program" "$@"; }

# Shows a command and runs it; exit status 1 (nothing matched) is an answer,
# anything above it stops the demo.
run() {
  printf '$ %s\n' "$1"
  status=0
  eval "$1" || status=$?
  [ "$status" -le 1 ] || exit "$status"
}

section() { printf '\n== %s\n' "$1"; }

section "Which module and library"
run "molv version"

section "Match with groups: each group's position (offset:length) and text"
run "molv match '/(\d{4})-(\d\d)-(\d\d)/' 'released on 2024-03-15, patched later'"

section "Match as a filter: the lines of standard input that match, like grep"
run "printf 'GET /index.html 200\nGET /missing 404\nPOST /form 500\n' | molv match '/ [45]\d\d\$/'"

section "Global substitution: every date turned from YYYY-MM-DD into DD.MM.YYYY"
run "molv subst 's/(\d{4})-(\d\d)-(\d\d)/\$3.\$2.\$1/g' 'from 2024-03-15 to 2024-04-01'"

section "Translation: ROT13, letters rotated by 13 places"
run "molv trans 'tr/A-Za-z/N-ZA-Mn-za-m/' 'Hello, World'"

section "Split: the fields of a record, then the same with at most 3 pieces"
run "molv split '/\s*;\s*/' 'alice; 42 ;Berlin;  admin'"
run "molv split --limit 3 '/\s*;\s*/' 'alice; 42 ;Berlin;  admin'"
