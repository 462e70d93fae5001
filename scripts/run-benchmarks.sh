#!/bin/sh
# Runs every benchmark program of the build under Wine, one after the other.
set -e
build="$1"
here=$(cd "$(dirname "$0")" && pwd)
status=0
for exe in $(find "$build/bench" -name 'bench_*.exe' | sort); do
  echo "== $(basename "$exe")"
  (cd "$(dirname "$exe")" && "$here/wine-run.sh" "./$(basename "$exe")") || status=1
done
exit $status
