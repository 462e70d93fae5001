#!/bin/sh
# Creates the build's private Wine prefix once; later calls only check the stamp.
set -e
. "$(dirname "$0")/wine-env.sh"
prefix="$1"
stamp="$prefix/.vantorel-ready-2"
[ -f "$stamp" ] && exit 0
mkdir -p "$prefix"
export WINEPREFIX="$prefix" WINEARCH=win64
echo "creating Wine prefix $prefix"
"$WINE64" wineboot -i >/dev/null 2>&1
# Windows that no window manager manages: without one (Xvfb), Wine waits two seconds for every
# managed top-level window that is hidden or destroyed.
"$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
"$WINESERVER" -w
touch "$stamp"
