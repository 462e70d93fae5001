#!/bin/sh
# make demo: a sample folder of a few hundred files, then the Explorer stand-in with the band.
# On a real display the stand-in opens for the user; under the private Xvfb of with-display.sh
# a short scripted tour of every feature runs and leaves screenshots in the build folder.
# Usage: demo.sh BUILD [DOCS]: with DOCS (make screenshots) the tour always runs, and the
# screenshots the README and the guides show are copied into DOCS. The band speaks the display
# language DEMO_LANGUAGE (ja by default, or en); the English tour's pictures go to DOCS/en.
set -e
. "$(dirname "$0")/wine-env.sh"
build=$(cd "${1:-build}" && pwd)
docs="$2"
host="$build/host/vantorel-host.exe"
language="${DEMO_LANGUAGE:-ja}"
out="$build"  # where the pictures go: the build folder, or a folder of the language's own
[ "$language" = ja ] || { out="$build/demo-$language"; mkdir -p "$out"; docs="${docs:+$docs/$language}"; }
[ -f "$host" ] || { echo "demo: $host is missing (make build first)" >&2; exit 1; }
sample="$build/demo-folder"
rm -rf "$sample"
mkdir -p "$sample"

# Realistic names: Japanese words, full-width digits, mixed case, the usual extensions.
i=0
for stem in 報告書 会議メモ 見積書 請求書 議事録 企画書 写真 Report Invoice MeetingNotes README \
            budget Budget_FINAL draft 契約書 仕様書 設計メモ ToDo photo IMG; do
  for n in １ ２ ３ 1 2 3 01 02 10 ２０２４; do
    for ext in txt docx XLSX pdf JPG; do
      i=$((i + 1))
      [ $((i % 3)) -eq 0 ] || continue   # a few hundred, not a thousand
      : > "$sample/${stem}_${n}.${ext}"
    done
  done
done
for extra in "月次報告（４月）.txt" "月次報告（５月）.txt" "ｆｕｌｌ＿ｗｉｄｔｈ.txt" "Readme.MD" "notes.TXT" \
             "写真 2024-05-01.jpeg" "backup.tar.gz" ".hidden-config"; do
  : > "$sample/$extra"
done
count=$(ls -A "$sample" | wc -l)
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
folder=$(winpath "$sample")

band=""
if [ -f "$build/host/Vantorel.dll" ]; then
  band=""
else
  band="--no-band"
  echo "demo: $build/host/Vantorel.dll is not built; showing the stand-in without the band"
fi

# The Japanese texts of the band, its menu and its dialog need a Japanese face in the prefix.
if [ -n "$WINEPREFIX" ] && fc-list 2>/dev/null | grep -q IPAPGothic; then
  sh "$(dirname "$0")/demo-fonts.sh" IPAPGothic
fi

if [ -n "$DISPLAY" ] && [ -z "$VANTOREL_PRIVATE_XVFB" ] && [ -z "$docs" ]; then
  echo "demo: $count files in $sample; opening the stand-in (close its window to end)"
  exec "$WINE64" "$host" --folder "$folder" --settings 0,0x33 --ui-language "$language" $band
fi

echo "demo: no display to show; scripted tour over $count files in $sample"
run() {
  printf "> vantorel-host %s\n" "$*"
  "$WINE64" "$host" --folder "$folder" --ui-language "$language" $band "$@" 2>&1 | grep -v ':fixme:' || true
}
shot() { winpath "$out/demo-$1.png"; }
if [ -z "$band" ]; then
  echo "-- Select mode: every name matching 会議* becomes selected, every other row near the top"
  run --settings 0,0x33 --type '会議*' --key enter --print selected --print state --screenshot "$(shot select)"
  echo "-- Filter mode: the view is refilled with only the names matching invoice|readme"
  run --settings 1,0x33 --type 'invoice|readme' --key enter --print shown --print state --screenshot "$(shot filter)"
  echo "-- Filter mode, full-width digits folded: ２０２４ finds 2024 as well"
  run --settings 1,0x33 --type '*２０２４*' --key enter --print shown --print state --tree \
      --screenshot "$(shot filter-tree)"
  echo "-- A keyword that matches nothing: the box turns white on light red"
  run --settings 0,0x33 --type '領収書*' --key enter --print box --screenshot "$(shot nomatch)"
  echo "-- The pointer over the clear button"
  run --settings 0,0x33 --type '見積*' --hover clear --print box --screenshot "$(shot clear-hot)"
  echo "-- The mode menu, opened by a click on the mode glyph"
  run --settings 0,0x33 --type '報告*' --click mode --menu dismiss --menu-screenshot "$(shot mode-menu)"
  echo "-- The settings dialog, from the mode menu; every text in Japanese"
  run --settings 0,0x233 --click mode --menu settings --print dialog --screenshot "$(shot settings)"
  echo "-- The settings dialog with the mouse: case told apart from the next run on"
  run --settings 0,0x33 --type 'readme.md' --print selected --click clear --click mode --menu settings \
      --dialog check:201 --dialog ok --type 'readme.md' --print selected --print box
  echo "-- The history drop-down, open under the box: the stored keywords that begin with the text"
  history="$build/demo-history.txt"
  printf 'report 2024\r\nInvoice*\r\nreadme|todo\r\nre*.pdf\r\nbudget*\r\nreport*\r\n' >"$history"
  run --settings 0,0x33 --history "$(winpath "$history")" --type re --print dropdown --screenshot "$(shot history)"
  echo "-- The same at 150 % display scale (LogPixels 144, set back after): sizes, font and glyphs drawn for it"
  desktop='HKCU\Control Panel\Desktop'
  saved=$("$WINE64" reg query "$desktop" /v LogPixels 2>/dev/null | awk '/LogPixels/ { print $3 }')
  "$WINE64" reg add "$desktop" /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
  run --settings 0,0x33 --history "$(winpath "$history")" --type re --print dropdown --print layout \
      --screenshot "$(shot history-150)"
  if [ -n "$saved" ]; then "$WINE64" reg add "$desktop" /v LogPixels /t REG_DWORD /d $((saved)) /f
  else "$WINE64" reg delete "$desktop" /v LogPixels /f; fi >/dev/null 2>&1
  echo "-- Apps in the dark theme: the band in dark colours, with a match and without (the setting is put back after)"
  run --settings 0,0x33 --theme dark --type '見積*' --print colors --hover clear --screenshot "$(shot dark)"
  run --settings 0,0x33 --theme dark --type '領収書*' --key enter --print colors --screenshot "$(shot dark-nomatch)"
  echo "-- Two Explorer windows, each with its own band: window 1 filters, window 2 keeps every file"
  run --settings 1,0x33 --windows 2 --in 1 --type 'invoice*' --key enter --print shown --in 2 --print state
  echo "-- Windows 11 24H2 and later, whose tabs have no toolbar area: each tab's box of its own, put there by"
  echo "   the helper that regsvr32 /i:show registers (for this step only); tab 2 selects, then back in tab 1"
  (cd "$build/host" && "$WINE64" regsvr32 /s /i:show Vantorel.dll)
  "$WINE64" reg delete 'HKCU\Software\Vantorel' /f >/dev/null 2>&1 || true
  run --settings 0,0x33 --explorer-11 --toolbar-area hidden --type '会議*' --tab new --type '請求*' --key enter \
      --print toolbars --print box --screenshot "$(shot tabs-box-2)" --tab 1 --print box --screenshot "$(shot tabs-box-1)"
  (cd "$build/host" && "$WINE64" regsvr32 /s /u Vantorel.dll)
  if [ -n "$docs" ]; then
    mkdir -p "$docs"
    for name in select filter nomatch clear-hot mode-menu settings history history-150 dark dark-nomatch \
                tabs-box-1 tabs-box-2; do
      cp "$out/demo-$name.png" "$docs/demo-$name.png"
    done
    echo "demo: the README's screenshots copied to $docs"
  fi
else
  run --print state --screenshot "$(shot view)"
fi
echo "demo: screenshots in $out (demo-*.png)"
