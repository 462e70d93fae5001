#!/bin/sh
# Installs the Debian packages the build and the tests need, only when some are missing (Wine's own
# fonts too: without them title bars and close boxes draw as stray letters in screenshots).
# Usage: ensure-deps.sh [extra-package ...]
set -e
packages="cmake make g++-mingw-w64-x86-64-posix mingw-w64-tools libwine-dev wine64 fonts-wine xvfb xauth googletest nsis osslsigncode openssl python3-yaml python3-markdown $*"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "installing:$missing"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends $missing
