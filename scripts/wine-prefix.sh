#!/bin/sh
# Creates the build's private Wine prefix once, or brings an older one up to date; later calls
# only check the stamp.
set -e
. "$(dirname "$0")/wine-env.sh"
prefix="$1"
stamp="$prefix/.vantorel-ready-6"
[ -f "$stamp" ] && exit 0
mkdir -p "$prefix"
export WINEPREFIX="$prefix" WINEARCH=win64
echo "preparing Wine prefix $prefix"
"$WINE64" wineboot -i >/dev/null 2>&1
# Windows that no window manager manages: without one (Xvfb), Wine waits two seconds for every
# managed top-level window that is hidden or destroyed.
"$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
# No crash dialog: on the invisible display nobody could close it, and the crashed program would
# wait for it forever. The debugger prints its backtrace and the process ends at once.
"$WINE64" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
# Windows draws Japanese inside English texts through the fonts linked to the dialog's font, the
# first of them MS UI Gothic, which Wine does not have: the Japanese font stands in for it.
"$WINE64" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v 'MS UI Gothic' \
  /d IPAPGothic /f >/dev/null 2>&1
# The Japanese faces of Japanese Windows, which the band's Japanese dialog asks for: the Japanese
# font stands in for each (the names are Japanese, so they go through a UTF-16 .reg file, which
# does not depend on this shell's locale).
reg=$(mktemp "${TMPDIR:-/tmp}/vantorel-prefix.XXXXXX")
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
  for name in 'ＭＳ Ｐゴシック' 'ＭＳ ゴシック' 'MS PGothic' 'MS Gothic'; do printf '"%s"="IPAPGothic"\r\n' "$name"; done
} | { printf '\377\376'; iconv -f UTF-8 -t UTF-16LE; } >"$reg.reg"
"$WINE64" regedit /S "$(printf 'Z:%s' "$reg.reg" | tr / '\\')" >/dev/null 2>&1
rm -f "$reg" "$reg.reg"
# Wine's own fonts (Marlett draws the title bar's buttons) are only found in the Fonts folder.
fonts=/usr/share/wine/fonts
[ -d "$fonts" ] && cp -f "$fonts"/* "$prefix/drive_c/windows/Fonts/"
"$WINESERVER" -w
touch "$stamp"
