#!/bin/sh
# Installs the Debian packages the build and the tests need, only when some are missing (Wine's own
# fonts too: without them title bars and close boxes draw as stray letters in screenshots; and a
# Japanese font, without which Wine draws and measures Japanese texts as empty boxes). Then the
# Japanese UTF-8 locale that the tests run Wine under as a Japanese Windows: Wine takes the display
# language and the code page of file names from it, and without it cannot name a file in Japanese.
# Usage: ensure-deps.sh [extra-package ...]
set -e
packages="cmake make g++-mingw-w64-x86-64-posix mingw-w64-tools libwine-dev wine64 fonts-wine fonts-ipafont-gothic
  locales xvfb xauth googletest nsis osslsigncode openssl python3-yaml python3-markdown $*"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
if [ -n "$missing" ]; then
  echo "installing:$missing"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends $missing
fi
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  echo "generating the locale ja_JP.UTF-8"
  $SUDO localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
