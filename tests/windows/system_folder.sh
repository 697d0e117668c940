#!/bin/sh
# The host with no bregexp.dll beside it or beside the module: the attach
# fails, then, with a library copied into the Wine prefix's system folder,
# the module takes that one. The copy is removed again however the run ends,
# and one a killed run left behind is removed first.
# Usage: system_folder.sh WINE_RUN ARCH PREFIX HOST LIBRARY
set -eu
wine_run=$1 arch=$2 prefix=$3 host=$4 library=$5
copy=$prefix/drive_c/windows/system32/bregexp.dll
trap 'rm -f "$copy"' EXIT
rm -f "$copy"
# wine-run also makes the prefix, on its first use.
"$wine_run" "$arch" "$prefix" "$host" beside lib none
cp "$library" "$copy"
"$wine_run" "$arch" "$prefix" "$host" beside lib system
