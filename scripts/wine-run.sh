#!/bin/sh
# Runs a Windows program under Wine in the build's private prefix.
# WINEPREFIX defaults to the prefix beside the build's CMakeCache.txt.
set -e
. "$(dirname "$0")/wine-env.sh"
if [ -z "$WINEPREFIX" ]; then
  dir=$(pwd)
  while [ "$dir" != "/" ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  WINEPREFIX="$dir/wineprefix"
fi
export WINEPREFIX
exec "$WINE64" "$@"
