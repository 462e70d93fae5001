#!/bin/sh
# Creates the build's private Wine prefix once; later calls only check the stamp.
set -e
. "$(dirname "$0")/wine-env.sh"
prefix="$1"
[ -f "$prefix/.vantorel-ready" ] && exit 0
mkdir -p "$prefix"
export WINEPREFIX="$prefix" WINEARCH=win64
echo "creating Wine prefix $prefix"
"$WINE64" wineboot -i >/dev/null 2>&1
"$WINESERVER" -w
touch "$prefix/.vantorel-ready"
