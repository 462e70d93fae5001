#!/bin/sh
# The setup program under Wine, in a prefix of its own: a silent install; the band shown by
# the installed helper object and used as Explorer loads toolbars, without --dll; hidden by the
# user and staying hidden; then a silent uninstall that leaves none of the keys or program files.
# Then the zip, as the README's portable steps use it.
# Before all that, the setup program as a user goes through it, once under a Japanese and once
# under an English display: each page's picture saved in SHOTS (the first and the finish page's
# printed), its texts in that language, the guide's Start menu entry in it, and the uninstaller
# taking the entry away.
# Usage: installer.sh SETUP_EXE HOST_EXE PREFIX ZIP OBJDUMP PAGES_EXE SHOTS
setup="$1"
host="$2"
export WINEPREFIX="$3"
zip="$4"
objdump="$5"
pages="$6"
shots="$7"
scripts="$(cd "$(dirname "$0")/../../scripts" && pwd)"
. "$scripts/wine-env.sh"
# Wine would mirror the Start menu's entries into this Linux user's desktop menus; Windows has no
# such thing, and the test leaves nothing outside its prefix.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
# A prefix that another run left with an installation in it is made afresh; the data files of
# the last run go.
[ -e "$WINEPREFIX/drive_c/Program Files/Vantorel/Vantorel.dll" ] && rm -rf "$WINEPREFIX"
rm -rf "$WINEPREFIX/drive_c/Program Files/Vantorel" "$WINEPREFIX/drive_c/Tools"
sh "$scripts/wine-prefix.sh" "$WINEPREFIX" >/dev/null || exit 1
"$WINE64" reg delete 'HKCU\Software\Vantorel Host' /f >/dev/null 2>&1
dir=$(mktemp -d "${TMPDIR:-/tmp}/vantorel-setup.XXXXXX")
trap '"$WINESERVER" -k 2>/dev/null; rm -rf "$dir"' EXIT
mkdir "$dir/folder" && : >"$dir/folder/alpha.txt" && : >"$dir/folder/beta.txt" || exit 1
windows() { echo "Z:$(cd "$(dirname "$1")" && pwd)/$(basename "$1")" | tr / '\\'; }  # an absolute path on Z:
folder=$(windows "$dir/folder")
failed=0
# Texts go out through printf: dash's echo reads backslashes in them (Z:\check... would end at \c).
say() { printf '%s\n' "$1"; }
check() { if [ "$2" = "$3" ]; then say "ok: $1"; else say "FAILED: $1: expected [$2], got [$3]"; failed=1; return 1; fi; }
run() { (cd "$(dirname "$host")" && "$WINE64" "./$(basename "$host")" --explorer-toolbars --folder "$folder" "$@" 2>&1); }

menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vantorel"
# The texts of one page (1, 2, ... or last) of what setup_pages printed.
page() { say "$2" | awk -F '\t' -v want="$1" '$1 == "page" { n = $2; texts = "" }
  $1 == "text" { texts = texts $2 "\n" } want == n && $1 == "text" { print $2 }
  END { if (want == "last") printf "%s", texts }'; }
mkdir -p "$shots" || exit 1
while IFS='|' read -r language locale first finish guide entry; do
  rm -f "$shots/$language"-*.png
  out=$(LC_ALL=$locale "$WINE64" "$pages" "$(windows "$setup")" "$(windows "$shots")" "$language" </dev/null 2>&1 |
        tr -d '\r')
  check "$language setup: gone through with the mouse" "exit	0" "$(say "$out" | grep -E '^(exit|FAILED)')" ||
    say "$out" | sed 's/^/  | /'
  check "$language setup: the first page" "$first" "$(page 1 "$out" | head -n 1)"
  check "$language setup: the finish page says what was done" yes \
    "$(page last "$out" | grep -qF "$finish" && echo yes || echo no)"
  check "$language setup: the finish page offers the guide, left off" "unchecked	$guide" \
    "$(say "$out" | grep '^unchecked')"
  last=$(say "$out" | awk -F '\t' '$1 == "page" { n = $2 } END { print n }')
  for shot in "$shots/$language-1.png" "$shots/$language-$last.png"; do
    [ -s "$shot" ] && echo "screenshot: $shot" || check "$language setup: a picture of each page" "$shot" ""
  done
  check "$language setup: the guide in the Start menu" "$entry" "$(cd "$menu" && echo *)"
  LC_ALL=$locale "$WINE64" 'C:\Program Files\Vantorel\Uninstall.exe' /S </dev/null && "$WINESERVER" -w
  check "$language setup: the uninstaller takes the Start menu entries" "" "$(ls -d "$menu" 2>/dev/null)"
done <<EOF
ja|ja_JP.UTF-8|使用許諾契約|Vantorel をインストールしました。|使い方のガイドを開く|Vantorel の使い方.lnk
en|C.UTF-8|License Agreement|Vantorel is installed.|Open the guide (how to use Vantorel)|How to use Vantorel.lnk
EOF

"$WINE64" "$setup" /S
check "silent install" 0 $?
link="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vantorel の診断.lnk"
check "the Start menu entry runs the diagnosis" '"C:\Program Files\Vantorel\Vantorel.dll",Diagnose' \
  "$(strings -el "$link" 2>/dev/null | grep -o '"C:.*,Diagnose')"
# Without a language given, the display's language is English: the guide's Start menu entry in
# English, both guides beside the module.
check "the guide in the Start menu" "How to use Vantorel.lnk" "$(cd "$menu" && echo *)"
check "both guides installed" "guide.en.html guide.ja.html" \
  "$(cd "$WINEPREFIX/drive_c/Program Files/Vantorel" && echo guide.*)"
LC_ALL=ja_JP.UTF-8 "$WINE64" "$setup" /S
check "silent install under a Japanese display" 0 $?
check "first window shows the band" "$(printf 'toolbar\t{C84B9402-A5BF-4696-9B32-D83997116073}\nselected\tbeta.txt')" \
  "$(run --print toolbars --type 'b*' --print selected)"
check "the next window shows it too; hidden by the user" "$(printf 'toolbar\t{C84B9402-A5BF-4696-9B32-D83997116073}\nnotoolbar')" \
  "$(run --print toolbars --toolbar hide --print toolbars)"
check "a later window keeps it hidden; hiding it again fails" \
  "$(printf 'notoolbar\nvantorel-host: --toolbar hide: the band is not shown')" "$(run --print toolbars --toolbar hide)"
all='shown\talpha.txt\nshown\tbeta.txt'
check "hidden while filtering: every file shows" "$(printf "$all\\nnavigated\\t%s\\n$all" "$folder")" "$(run \
  --settings 1,0x33 --toolbar show --type b --toolbar hide --refresh --print shown --navigate "$folder" --refresh \
  --print shown)"
check "shown again: a new band over every file" "$(printf "shown\\talpha.txt\\n$all")" "$(run --toolbar show --type b \
  --toolbar hide --toolbar show --toolbar hide --toolbar show --type al --print shown --click clear --print shown)"
"$WINE64" 'C:\Program Files\Vantorel\Uninstall.exe' /S && "$WINESERVER" -w
# Every registry line (with its key) that names the module or one of its identifiers; the
# stand-in's own memory of shown toolbars is Explorer's, not ours.
left() { cat "$WINEPREFIX/system.reg" "$WINEPREFIX/user.reg" | awk '/^\[/ { key = $0 }
  tolower($0) ~ /vantorel|c84b9402|1deeed5f|3d9d5531|76860caa|70608ba4/ && key !~ /Vantorel Host/ { print key " " $0 }'; }
check "silent uninstall leaves no key" "" "$(left)"
check "silent uninstall takes the Start menu entry" no "$([ -e "$link" ] && echo yes || echo no)"
check "silent uninstall removes the Start menu entries" "" "$(ls -d "$menu" 2>/dev/null)"
# Wine runs the band with every right, so its two files went beside the module; like every
# user's settings and history they stay, and only they.
check "silent uninstall leaves only the data" "history.txt setting" "$(cd "$WINEPREFIX/drive_c/Program Files/Vantorel" && echo *)"

# The README's portable steps as written: the zip unpacked into the folder that its regsvr32 line
# names, the line run at a command prompt; the band shows, from the shipped module. Then the
# README's regsvr32 line that removes it.
readme_line() { grep -o "regsvr32 $1 \"[^\"]*\"" "$(dirname "$0")/../../README.md" | head -n 1; }
prompt() { printf '%s\r\n' "$1" >"$dir/line.cmd" && "$WINE64" cmd /c "$("$WINE64" winepath -w "$dir/line.cmd")" >/dev/null 2>&1; }
portable=$("$WINE64" winepath -u "$(readme_line /i:show | sed 's/.*"\(.*\)\\[^\\]*".*/\1/')")
mkdir -p "$portable" && (cd "$portable" && cmake -E tar xf "$zip") && prompt "$(readme_line /i:show)"
check "the zip holds the module, the licence and the two guides" "LICENSE Vantorel.dll guide.en.html guide.ja.html" \
  "$(cd "$portable" && echo *)"
# Each guide opens on its own: every picture inside the page, nothing fetched from elsewhere.
for guide in "$portable"/guide.*.html; do
  check "$(basename "$guide") holds its pictures" "8 8 0" "$(grep -c '<img ' "$guide") \
$(grep -c '<img [^>]*src="data:image/png;base64,' "$guide") $(grep -cE '(src|href)="[a-z]+://' "$guide")"
done
check "the README's portable steps" "$(printf 'toolbar\t{C84B9402-A5BF-4696-9B32-D83997116073}\nselected\tbeta.txt')" \
  "$(run --print toolbars --type 'b*' --print selected)"
check "the zip is compressed" 1 "$(($(wc -c <"$zip") < $(cat "$portable"/* | wc -c)))"
check "the shipped module has no debug data, only its link" .gnu_debuglink \
  "$("$objdump" -h "$portable/Vantorel.dll" | awk '$2 ~ /debug/ { print $2 }')"
prompt "$(readme_line /u)" && "$WINESERVER" -w
check "the README's portable removal leaves no key" "" "$(left)"
exit $failed
