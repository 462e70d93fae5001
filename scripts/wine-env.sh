# Sourced by the other scripts: where Wine's programs are (Debian's wine64 keeps them off PATH).
WINE64=$(command -v wine64 2>/dev/null || echo /usr/lib/wine/wine64)
WINESERVER=$(command -v wineserver 2>/dev/null || echo /usr/lib/wine/wineserver)
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
