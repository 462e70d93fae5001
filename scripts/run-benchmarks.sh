#!/bin/sh
# Runs every benchmark program of the build under Wine, one after the other. A program that
# missed a target (a line ending in MISSED) exits 1; then, as for a program that failed to run,
# the whole run ends with exit code 1 after the last program, naming the ones concerned.
set -e
build="$1"
here=$(cd "$(dirname "$0")" && pwd)
failed=""
for exe in $(find "$build/bench" -name 'bench_*.exe' | sort); do
  echo "== $(basename "$exe")"
  (cd "$(dirname "$exe")" && "$here/wine-run.sh" "./$(basename "$exe")") || failed="$failed $(basename "$exe")"
done
[ -z "$failed" ] && exit 0
echo "bench: a target missed or the program failed:$failed" >&2
exit 1
