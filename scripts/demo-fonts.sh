#!/bin/sh
# make demo: maps the faces the band, its menu and its dialog ask for to an installed Japanese
# font in the Wine prefix, so that the Japanese texts render. Usage: demo-fonts.sh FONT_FACE
set -e
. "$(dirname "$0")/wine-env.sh"
face="${1:-IPAPGothic}"
reg=$(mktemp "${TMPDIR:-/tmp}/vantorel-fonts.XXXXXX")
trap 'rm -f "$reg" "$reg.reg"' EXIT
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  # Faces that do not exist in the prefix are looked up through these replacements.
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
  for name in 'ＭＳ Ｐゴシック' 'ＭＳ ゴシック' 'MS PGothic' 'MS Gothic' 'MS UI Gothic'; do
    printf '"%s"="%s"\r\n' "$name" "$face"
  done
  # The dialog font names are substitutes of Tahoma, which has no Japanese; point them here.
  printf '\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
  for name in 'MS Shell Dlg' 'MS Shell Dlg 2'; do
    printf '"%s"="%s"\r\n' "$name" "$face"
  done
  # Tahoma (menus, captions) falls back to the Japanese face for the characters it lacks.
  printf '\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]\r\n'
  printf '"Tahoma"=hex(7):%s\r\n' "$(printf 'ipagp.ttf,%s\0\0' "$face" | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 -v | tr -s ' \n' ',,' | sed 's/^,//; s/,$//')"
} >"$reg"
{ printf '\377\376'; iconv -f UTF-8 -t UTF-16LE "$reg"; } >"$reg.reg"
"$WINE64" regedit /S "$(printf 'Z:%s' "$reg.reg" | tr / '\\')" >/dev/null 2>&1
