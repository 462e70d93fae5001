#!/bin/sh
# Runs a command with an X display: the current one if it answers, else a private Xvfb.
# The Wine server of the prefix is kept alive for the whole command and shut down after it.
set -e
. "$(dirname "$0")/wine-env.sh"
# Inside a run of this script for the same prefix (a test that runs scripts/vantorel-host): that
# run's display and Wine server serve this command too, and only that run shuts them down.
if [ -n "$WINEPREFIX" ] && [ "$VANTOREL_DISPLAY_PREFIX" = "$WINEPREFIX" ]; then
  exec "$@"
fi
if [ -n "$DISPLAY" ] && [ -S "/tmp/.X11-unix/X$(echo "${DISPLAY#*:}" | cut -d. -f1)" ]; then
  have_display=1
else
  have_display=0
fi
cleanup() {
  [ -n "$WINEPREFIX" ] && WINEPREFIX="$WINEPREFIX" "$WINESERVER" -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT INT TERM
if [ "$have_display" = 0 ]; then
  # A display of our own: another run starting at the same moment may take the same number,
  # and then our Xvfb stops at once; try the next number.
  n=90
  while :; do
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    i=0
    while [ ! -e "/tmp/.X11-unix/X$n" ] && kill -0 "$xvfb_pid" 2>/dev/null && [ $i -lt 200 ]; do
      sleep 0.05; i=$((i + 1))
    done
    sleep 0.1
    kill -0 "$xvfb_pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ] && break
    xvfb_pid=""
    n=$((n + 1))
    [ $n -lt 200 ] || { echo "with-display: no Xvfb display could be started" >&2; exit 1; }
  done
  export DISPLAY=":$n"
  export VANTOREL_PRIVATE_XVFB=1  # tells scripts that nobody is looking at this display
fi
# Start the Wine server and its services up front, detached from our output: a service that a
# test program started would inherit the test's output pipe and keep ctest waiting.
if [ -n "$WINEPREFIX" ]; then
  export WINEPREFIX VANTOREL_DISPLAY_PREFIX="$WINEPREFIX"
  "$WINESERVER" -p >/dev/null 2>&1 </dev/null || true
  "$WINE64" wineboot >/dev/null 2>&1 </dev/null || true
fi
set +e
"$@"
status=$?
exit $status
