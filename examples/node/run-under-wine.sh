#!/bin/sh
# The Node binding's test under Wine: the 32-bit node.exe and koffi that
# scripts/node-packages unpacked, in the prefix of wine-prefix.sh. The test
# writes its results to a file, read here, since node.exe's standard output
# is no pipe Wine can sync. Exit status 77 (the test did not run) where the
# packages are missing.
# Usage: run-under-wine.sh WINE-RUN PREFIX PACKAGES LIBRARY cdecl|stdcall FOLDER
set -eu
wine_run=$1 prefix=$2 packages=$3/node_modules library=$4 convention=$5 folder=$6
here=$(cd "$(dirname "$0")" && pwd)
node=$packages/node-win-x86/bin/node.exe

if [ ! -f "$node" ] || [ ! -f "$packages/koffi/package.json" ]; then
  echo "NOTICE: node.exe or koffi is missing in $packages (scripts/node-packages" \
       "fetches them): the Node binding was not tested under Wine"
  exit 77
fi
"$here/wine-prefix.sh" "$wine_run" "$prefix" >/dev/null 2>&1 ||
  { echo "FAILED: the Wine prefix $prefix could not be set to Windows 10"; exit 1; }

mkdir -p "$folder"
results=$folder/results.txt
rm -f "$results"
status=0
NODE_PATH=$packages "$wine_run" win32 "$prefix" "$node" "$here/test_molv_wrap.js" \
  "$library" "$convention" "$results" >"$folder/node.log" 2>&1 || status=$?
if [ ! -f "$results" ]; then
  echo "FAILED: node.exe wrote no results (exit status $status); its output:"
  cat "$folder/node.log"
  exit 1
fi
cat "$results"
[ "$status" -ne 77 ] || exit 77
# The status is not taken alone: the closing count must say that cases ran
# and none failed.
[ "$status" -eq 0 ] && grep -q '^[1-9][0-9]* passed, 0 failed$' "$results"
