#!/bin/sh
# Makes the Wine prefix the Node binding's test runs in, through
# cmake/wine-run (which makes a prefix on its first use), and sets it to
# Windows 10 once: node.exe 22 refuses to start on the Windows 7 a new
# prefix reports. The exit status is winecfg's, 125 where Wine's 32-bit
# loader cannot run here; so the build asks this script whether 32-bit
# Wine runs. The mark is made only after winecfg succeeded.
# Usage: wine-prefix.sh WINE-RUN PREFIX
set -eu
wine_run=$1 prefix=$2

[ -e "$prefix/.molv-node-win10" ] && exit 0
"$wine_run" win32 "$prefix" winecfg -v win10
touch "$prefix/.molv-node-win10"
