#!/bin/sh
# End to end: the real Vantorel.dll, registered and created through COM by the Explorer
# stand-in, driven with scripted steps over a real folder. Compares the printed lines.
# Usage: scenarios.sh HOST_EXE WINE_RUN
host="$1"
run="$2"
dir=$(mktemp -d "${TMPDIR:-/tmp}/vantorel-e2e.XXXXXX")
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/folder"
for name in alpha.txt beta.txt gamma.doc 'Report 2008.TXT' '報告書２００８.txt' notes; do
  : > "$dir/folder/$name"
done
mkdir "$dir/folder/sub2008"
winpath="Z:$(echo "$dir/folder" | tr / '\\')"
failures=0
passes=0

# check NAME EXPECTED-FILE ARGS...: runs the stand-in and compares its standard output.
stand_in() { (cd "$dir" && "$run" "$host" "$@"); }
# With ordered=1 the lines are compared in their order, otherwise as sets.
ordered=0
mask=
check() {
  name="$1"
  expected="$2"
  shift 2
  actual="$dir/actual"
  stand_in "$@" >"$actual" 2>"$dir/stderr"
  status=$?
  # mask: a sed script for what the comparison leaves out (kept in $actual).
  [ -z "$mask" ] || sed -i.raw "$mask" "$actual"
  # The view's item order is the shell's; compare the lines as sets.
  if [ "$ordered" = 1 ]; then
    cp "$expected" "$dir/expected.sorted"
    cp "$actual" "$dir/actual.sorted"
  else
    sort "$expected" >"$dir/expected.sorted"
    sort "$actual" >"$dir/actual.sorted"
  fi
  if [ $status -eq 0 ] && cmp -s "$dir/expected.sorted" "$dir/actual.sorted"; then
    passes=$((passes + 1))
    echo "ok: $name"
  else
    failures=$((failures + 1))
    echo "FAILED: $name (exit $status)"
    echo "-- expected"; cat "$expected"
    echo "-- actual"; cat "$actual"
    echo "-- stderr"; cat "$dir/stderr"
  fi
}
# ends NAME CODE REASON ARGS...: the stand-in ends with the exit code and the one line REASON.
ends() {
  name="$1"
  code="$2"
  reason="$3"
  shift 3
  stand_in "$@" >/dev/null 2>"$dir/stderr"
  if [ $? -eq "$code" ] && [ "$(cat "$dir/stderr")" = "vantorel-host: $reason" ]; then passes=$((passes + 1)); echo "ok: $name"
  else failures=$((failures + 1)); echo "FAILED: $name"; cat "$dir/stderr"; fi
}

# --help and the README's tables of options and steps: the same entries in the same words.
sed -n '/^| `--/{s/`//g;s/\\|/|/g;s/^| \(.*\) | \(.*\) |$/\1\t\2/p}' "$(dirname "$0")/../../README.md" >"$dir/readme"
(cd "$(dirname "$host")" && "$run" "./$(basename "$host")" --help) | awk '
  /^  --/ { if (e != "") print e; n = substr($0, 3, 24); sub(/ +$/, "", n); e = n "\t" substr($0, 27); next }
  /^                          [^ ]/ { sub(/^ +/, ""); e = e " " $0; next }
  { if (e != "") print e; e = "" }' >"$dir/help"
if cmp -s "$dir/readme" "$dir/help"; then passes=$((passes + 1)); echo "ok: --help and README"; else
  failures=$((failures + 1)); echo "FAILED: --help and README"; diff "$dir/readme" "$dir/help"; fi

# Select and filter in both folder views: the list view, and the items view of Windows 7 to 11,
# which has no list view and is reached through the shell view and the browser's filter site.
# Each line: the view | the window that takes the view's keys | further options.
while read -r view keys more; do
# Select mode, typing runs on every input; Enter gives the view the focus.
printf 'selected\tReport 2008.TXT\nselected\talpha.txt\nselected\tbeta.txt\nselected\t報告書２００８.txt\nselected\tbeta.txt\nstate\tmode=0\toptions=0x33\tnomatch=0\tfocus=beta.txt\tfocuswindow=Vantorel Editbox\tview=%s\nstate\tmode=0\toptions=0x33\tnomatch=0\tfocus=beta.txt\tfocuswindow=%s\tview=%s\n' "$view" "$keys" "$view" >"$dir/e1"
check "select by extension, case folded ($view $more)" "$dir/e1" --folder "$winpath" --settings 0,0x33 \
  --folder-view "$view" $more --type '*.txt' --print selected --key escape --type beta --print selected --print state \
  --key enter --print state

# Full-width digits fold to half-width; the folder part of the path never matches.
printf 'selected\tReport 2008.TXT\nselected\tsub2008\nselected\t報告書２００８.txt\n' >"$dir/e2"
check "full-width digits ($view $more)" "$dir/e2" --folder "$winpath" --settings 0,0x33 --folder-view "$view" $more \
  --type '２００８' --print selected

# Filter mode: only matching items are shown; nothing matching turns no-match on; the clear
# button brings every item back.
printf 'shown\tReport 2008.TXT\nshown\tsub2008\nshown\t報告書２００８.txt\nstate\tmode=1\toptions=0x33\tnomatch=0\tfocus=-\tfocuswindow=Vantorel Editbox\tview=%s\nnoitems\nstate\tmode=1\toptions=0x33\tnomatch=1\tfocus=-\tfocuswindow=Vantorel Editbox\tview=%s\n' "$view" "$view" >"$dir/e3"
for name in alpha.txt beta.txt gamma.doc 'Report 2008.TXT' '報告書２００８.txt' notes sub2008; do
  printf 'shown\t%s\n' "$name" >>"$dir/e3"
done
check "filter and no match ($view $more)" "$dir/e3" --folder "$winpath" --settings 1,0x33 --folder-view "$view" $more \
  --type 2008 --print shown --print state --key escape --type zzz --print shown --print state --click clear \
  --print shown

# AND as the default operator, loaded through the module's own entry point.
printf 'shown\tReport 2008.TXT\n' >"$dir/e4"
check "default and, direct load ($view $more)" "$dir/e4" --folder "$winpath" --settings 1,0x133 \
  --folder-view "$view" $more --dll "$(cd "$(dirname "$host")" && pwd)/Vantorel.dll" --type 'report 2008' --print shown
done <<'EOF'
list SysListView32
list SysListView32 --filter-site no
items DirectUIHWND
EOF

# The items view where the browser has no filter site: Filter mode cannot hide items there, so it
# selects the matches (and says so in the input box's balloon).
printf 'shown\talpha.txt\nshown\tbeta.txt\nshown\tgamma.doc\nshown\tReport 2008.TXT\nshown\t報告書２００８.txt\nshown\tnotes\nshown\tsub2008\nselected\tReport 2008.TXT\nselected\tsub2008\nselected\t報告書２００８.txt\nstate\tmode=1\toptions=0x33\tnomatch=0\tfocus=sub2008\tfocuswindow=Vantorel Editbox\tview=items\n' >"$dir/e4b"
check "items view without a filter site selects" "$dir/e4b" --folder "$winpath" --settings 1,0x33 \
  --folder-view items --filter-site no --type 2008 --print shown --print selected --print state

# Two Explorer windows, each with its own band on its own thread: window 1's filter leaves
# window 2's view whole; after window 1 is closed window 2 still filters. Lines carry their
# window's number.
printf '1\tshown\tbeta.txt\n2\tshown\tReport 2008.TXT\n2\tshown\talpha.txt\n2\tshown\tbeta.txt\n2\tshown\tgamma.doc\n2\tshown\t報告書２００８.txt\n2\tshown\tnotes\n2\tshown\tsub2008\n2\tshown\talpha.txt\n' >"$dir/e5"
check "two windows" "$dir/e5" --folder "$winpath" --settings 1,0x33 --windows 2 \
  --in 1 --type 'b*' --key enter --print shown --in 2 --print shown --close 1 \
  --type 'a*' --key enter --print shown

# A step brings its window to the front first: the click meant for window 2 is not window 1's.
printf '2\tmenu\tchecked=select\tchose=filter\n2\tstate\tmode=1\toptions=0x33\tnomatch=0\tfocus=-\tfocuswindow=Vantorel Editbox\tview=list\n' >"$dir/e5b"
check "the window of a step comes to the front" "$dir/e5b" --folder "$winpath" --settings 0,0x33 --windows 2 \
  --in 1 --type beta --in 2 --click mode --menu filter --print state

# --fresh: no setting or history of earlier runs; a list with nothing to show says so.
printf 'nohistory\nsetting\tnone\nnavigated\t%s\\sub2008\nnoitems\n' "$winpath" >"$dir/e5c"
check "a fresh start, empty lists" "$dir/e5c" --folder "$winpath" --fresh --print history --print setting \
  --navigate "$dir/folder/sub2008" --print shown

# History: the file given is the band's history; typing opens the matching entries newest
# first; Enter moves the keyword to the newest end.
printf 'beta.txt\r\nalpha.txt\r\nalp\r\n' >"$dir/history-in.txt"
printf 'dropdown\talp\ndropdown\talpha.txt\nhistory\tbeta.txt\nhistory\talp\nhistory\talpha.txt\n' >"$dir/e6"
check "history drop-down and Enter" "$dir/e6" --folder "$winpath" --settings 0,0x33 \
  --history "Z:$(echo "$dir/history-in.txt" | tr / '\\')" --type alp --print dropdown \
  --type ha.txt --key enter --print history

# A keyword that the history file cannot store as typed runs, and is kept neither on Enter nor
# when the box then loses the focus.
printf 'selected\talpha.txt\nhistory\tbeta.txt\nhistory\talpha.txt\nhistory\talp\n' >"$dir/e6b"
check "a keyword the history cannot hold runs and adds nothing" "$dir/e6b" --folder "$winpath" --settings 0,0x33 \
  --history "Z:$(echo "$dir/history-in.txt" | tr / '\\')" --type 'alpha*|😀' --key enter --print selected --print history

# The box holds the 259 characters a run reads: typing stops there, and a longer entry taken
# from the drop-down is cut to them.
c259=$(printf '%259s' | tr ' ' c)
printf '%300s\r\n' | tr ' ' c >"$dir/history-long.txt"
printf 'box\ttext=%s\tglyph=select\tclear=normal\tcolours=white-on-red\n' "$c259" "$c259" >"$dir/e6c"
check "the box holds 259 characters, typed or taken" "$dir/e6c" --folder "$winpath" --settings 0,0x33 \
  --history "Z:$(echo "$dir/history-long.txt" | tr / '\\')" --type "$(printf '%280s' | tr ' ' c)|beta" --print box \
  --key down --key enter --print box

# With the mouse alone: the mode glyph's menu switches to Filter (the selection goes), the
# clear button empties the box and brings every item back, the menu opens the settings dialog.
printf 'selected\talpha.txt\nselected\tbeta.txt\nselected\tReport 2008.TXT\nselected\t報告書２００８.txt\nbox\ttext=*.txt\tglyph=select\tclear=normal\tcolours=black-on-white\nmenu\tchecked=select\tchose=filter\nbox\ttext=*.txt\tglyph=filter\tclear=normal\tcolours=black-on-white\nnoselection\nstate\tmode=1\toptions=0x33\tnomatch=0\tfocus=-\tfocuswindow=Vantorel Editbox\tview=list\nbox\ttext=\tglyph=filter\tclear=hidden\tcolours=black-on-white\nmenu\tchecked=filter\tchose=settings\nstate\tmode=1\toptions=0x33\tnomatch=0\tfocus=-\tfocuswindow=Button\tview=list\n' >"$dir/e7"
for name in alpha.txt beta.txt gamma.doc 'Report 2008.TXT' '報告書２００８.txt' notes sub2008; do
  printf 'shown\t%s\n' "$name" >>"$dir/e7"
done
check "mouse: mode menu, clear button, settings" "$dir/e7" --folder "$winpath" --settings 0,0x33 \
  --type '*.txt' --print selected --print box --click mode --menu filter --print box --print selected \
  --print state --click clear --print box --print shown --click mode --menu settings --print state

# A keyword that matches nothing turns the box red; a menu dismissed over the glyph swallows
# the next click on it (the click only puts the focus into the box), the one after opens it.
printf 'box\ttext=zzz\tglyph=select\tclear=normal\tcolours=white-on-red\nmenu\tchecked=select\tchose=dismiss\nstate\tmode=0\toptions=0x33\tnomatch=1\tfocus=-\tfocuswindow=SysListView32\tview=list\nstate\tmode=0\toptions=0x33\tnomatch=1\tfocus=-\tfocuswindow=Vantorel Editbox\tview=list\nmenu\tchecked=select\tchose=filter\nbox\ttext=zzz\tglyph=filter\tclear=normal\tcolours=black-on-white\n' >"$dir/e8"
check "mouse: dismissed menu, no-match colours" "$dir/e8" --folder "$winpath" --settings 0,0x33 \
  --type zzz --key enter --print box --click mode --menu dismiss --print state --click mode \
  --print state --click mode --menu filter --print box

# The settings dialog, reached and used with the mouse alone: the mode glyph's menu opens it,
# real clicks on its controls, its OK and Cancel buttons and its close box.
wpath() { printf 'Z:%s' "$1" | tr / '\\'; }
menu_settings='menu\tchecked=select\tchose=settings\n'

# It opens centred over the Explorer window (the frame is not centred on the screen).
printf "$menu_settings"'placement\tover-frame=1\tover-workarea=0\n' >"$dir/d1"
check "mouse: dialog centred over the window" "$dir/d1" --folder "$winpath" --settings 0,0x33 \
  --click mode --menu settings --print placement

# History off destroys the drop-down at once: typing a stored prefix shows nothing. History on
# again makes a new one, unsorted, since OK cleared the sort bit: newest first, not by name.
ordered=1
printf 'alp\r\nalpha.txt\r\n' >"$dir/history-d2.txt"
printf 'dropdown\talp\ndropdown\talpha.txt\n'"$menu_settings"'state\tmode=0\toptions=0x13\tnomatch=0\tfocus=-\tfocuswindow=Vantorel Editbox\tview=list\nnodropdown\nnodropdown\n'"$menu_settings"'state\tmode=0\toptions=0x33\tnomatch=0\tfocus=-\tfocuswindow=Vantorel Editbox\tview=list\ndropdown\talpha.txt\ndropdown\talp\n' >"$dir/d2"
check "mouse: history off and on again in the dialog" "$dir/d2" --folder "$winpath" --settings 0,0x73 \
  --history "$(wpath "$dir/history-d2.txt")" --type al --print dropdown --click clear \
  --click mode --menu settings --dialog uncheck:206 --dialog ok --type '' --print state --print dropdown \
  --type al --print dropdown --click clear \
  --click mode --menu settings --dialog check:206 --dialog ok --type '' --print state --type al --print dropdown
ordered=0

# The sort bit has no control: OK without a change stores the word built from the controls, in
# the file at once and in the band's live record.
printf 'setting\tmode=0\toptions=0x73\n'"$menu_settings"'dialog\tvisible=1\tchecked=203,205,206,210\ndialog\tvisible=0\tchecked=203,205,206,210\nsetting\tmode=0\toptions=0x33\nstate\tmode=0\toptions=0x33\tnomatch=0\tfocus=-\tfocuswindow=Vantorel Editbox\tview=list\n' >"$dir/d3"
check "mouse: OK without a change drops the sort bit" "$dir/d3" --folder "$winpath" --settings 0,0x73 \
  --print setting --click mode --menu settings --print dialog --dialog ok --print dialog --print setting \
  --type '' --print state

# Case told apart from the next run on.
printf 'selected\tReport 2008.TXT\nselected\talpha.txt\nselected\tbeta.txt\nselected\t報告書２００８.txt\n'"$menu_settings"'selected\tReport 2008.TXT\n' >"$dir/d4"
check "mouse: case checked, next run tells case" "$dir/d4" --folder "$winpath" --settings 0,0x33 \
  --type '*.TXT' --print selected --click clear --click mode --menu settings --dialog check:201 --dialog ok \
  --type '*.TXT' --print selected

# The default word: full-width letters and signs count as ASCII, ＆ as the operator; the dialog
# shows the box that tells the widths apart unchecked, and OK with it checked clears the bit.
printf 'selected\tReport 2008.TXT\n'"$menu_settings"'dialog\tvisible=1\tchecked=205,206,210\nsetting\tmode=0\toptions=0x33\n' >"$dir/w1"
check "full-width letters and operators" "$dir/w1" --folder "$winpath" --settings 0,0x233 --type 'ｒｅｐｏｒｔ＆２００８' \
  --print selected --click mode --menu settings --print dialog --dialog check:203 --dialog ok --print setting

# Cancel and the close box leave the stored values: the dialog shows them again.
for how in cancel close; do
  printf "$menu_settings"'dialog\tvisible=1\tchecked=201,203,207,209\ndialog\tvisible=0\tchecked=201,203,207,209\n'"$menu_settings"'dialog\tvisible=1\tchecked=203,205,206,210\nsetting\tmode=0\toptions=0x33\n' >"$dir/d5"
  check "mouse: dialog edits dropped by $how" "$dir/d5" --folder "$winpath" --settings 0,0x33 \
    --click mode --menu settings --dialog check:201 --dialog uncheck:205 --dialog uncheck:206 \
    --dialog check:207 --dialog check:209 --print dialog --dialog "$how" --print dialog \
    --click mode --menu settings --print dialog --print setting
done

# The history drop-down from the keyboard. The history, oldest first: beta.txt, al*.doc, a*,
# alpha.txt. Each line: settings | steps | the lines printed, in order (\t, \n as printf reads them).
printf 'beta.txt\r\nal*.doc\r\na*\r\nalpha.txt\r\n' >"$dir/history-keys.txt"
ordered=1
while IFS='|' read -r settings steps expected; do
  printf "$expected" >"$dir/keys"
  eval "set -- $steps"
  check "keys: $steps" "$dir/keys" --folder "$winpath" --settings "$settings" \
    --history "$(wpath "$dir/history-keys.txt")" "$@" </dev/null
done <<'EOF'
0,0x33|--type a --key down --key down --key up --print dropdown --key enter --print box --print selected --print history|dropdown\talpha.txt\thighlighted\ndropdown\ta*\ndropdown\tal*.doc\nbox\ttext=alpha.txt\tglyph=select\tclear=normal\tcolours=black-on-white\nselected\talpha.txt\nhistory\tbeta.txt\nhistory\tal*.doc\nhistory\ta*\nhistory\talpha.txt\n
0,0x33|--type al --key escape --print dropdown --print box|nodropdown\nbox\ttext=al\tglyph=select\tclear=normal\tcolours=black-on-white\n
0,0x33|--key f4 --print dropdown --key pagedown --print dropdown --key f4 --print dropdown --key alt+down --key pageup --print dropdown|dropdown\talpha.txt\ndropdown\ta*\ndropdown\tal*.doc\ndropdown\tbeta.txt\ndropdown\talpha.txt\ndropdown\ta*\ndropdown\tal*.doc\ndropdown\tbeta.txt\thighlighted\nnodropdown\ndropdown\talpha.txt\thighlighted\ndropdown\ta*\ndropdown\tal*.doc\ndropdown\tbeta.txt\n
0,0x13|--type alpha.txt --key down --key f4 --key alt+down --print dropdown --key enter --print box --print selected|nodropdown\nbox\ttext=alpha.txt\tglyph=select\tclear=normal\tcolours=black-on-white\nselected\talpha.txt\n
EOF

# The colours Windows gives the user, read from the band's pixels, with a match (alpha) and without
# (zzz). Each line: steps | the lines printed. The last one switches under the typed text.
while IFS='|' read -r steps expected; do
  printf "$expected" >"$dir/colours"
  eval "set -- $steps"
  check "colours: $steps" "$dir/colours" --folder "$winpath" --settings 0,0x33 "$@" </dev/null
done <<'EOF'
--theme light --type alpha --print colors --key escape --type zzz --print colors|colors\tband=#F5F5F5\tbox=#FFFFFF\ttext=#000000\tcontrast=21.0\ncolors\tband=#F5F5F5\tbox=#FF6666\ttext=#FFFFFF\tcontrast=2.8\n
--theme dark --type alpha --print colors --hover clear --print box --key escape --type zzz --print colors|colors\tband=#202020\tbox=#2B2B2B\ttext=#FFFFFF\tcontrast=14.1\nbox\ttext=alpha\tglyph=select\tclear=hot\tcolours=other(2B2B2B)\ncolors\tband=#202020\tbox=#761D1D\ttext=#FFFFFF\tcontrast=10.6\n
--theme contrast --type alpha --print colors --key escape --type zzz --print colors|colors\tband=#E6E6BE\tbox=#FFFFE6\ttext=#000000\tcontrast=20.6\ncolors\tband=#E6E6BE\tbox=#0000C8\ttext=#FFFFFF\tcontrast=11.4\n
--type zzz --theme dark --print colors --theme light --print colors|colors\tband=#202020\tbox=#761D1D\ttext=#FFFFFF\tcontrast=10.6\ncolors\tband=#F5F5F5\tbox=#FF6666\ttext=#FFFFFF\tcontrast=2.8\n
EOF

# The tabbed frame of Windows 11: each tab a browser of its own with its own band over its own view.
# Each line: options | steps | the lines printed, in order.
ordered=1
mask='s/folder=.*/folder=F/'
while IFS='|' read -r options steps expected; do
  printf "$expected" >"$dir/tabs"
  eval "set -- $options $steps"
  check "tabs: $options $steps" "$dir/tabs" --folder "$winpath" --settings 0,0x33 --explorer-11 "$@" </dev/null
done <<'EOF'
|--type beta --print selected --tab new --type 'a*' --print selected --tab 1 --print selected --print box --print tabs|selected\tbeta.txt\nselected\talpha.txt\nselected\tbeta.txt\nnobox\nbox\ttext=beta\tglyph=select\tclear=normal\tcolours=black-on-white\ntab\t1\tactive=1\tfolder=F\ntab\t2\tactive=0\tfolder=F\n
--settings 1,0x33|--type beta --print shown --tab new --type 'a*' --print shown --tab 1 --print shown|shown\tbeta.txt\nshown\talpha.txt\nshown\tbeta.txt\n
|--tab new --tab new --tab close:2 --print tabs --tab close:1 --print tabs|tab\t1\tactive=0\tfolder=F\ntab\t2\tactive=1\tfolder=F\ntab\t1\tactive=1\tfolder=F\n
EOF
mask=''
ordered=0

# Windows 11 24H2 and later keep each tab's toolbar area hidden: the band sits in a box of its own
# over the tab's folder view, put there by the helper object that /i:show registers (here for the
# built module, for this table only; the user has never had the toolbar shown, so the first line's
# helper shows it, and the hidden toolbar never turns into a box). The box's place: 8 px in from
# the view's top and right edges; its clear button, mode menu and settings dialog under real clicks.
# A box that appears, with the window or with a new tab, leaves the focus where it was. The keys
# that act on the focused window (Win+arrow, Win+Shift+arrow, Alt+Space, Alt+F4) act on the frame
# when the box has the focus: on a screen of 1280x1024.
# Each line: options | steps | the lines printed.
clsid='{C84B9402-A5BF-4696-9B32-D83997116073}'
(cd "$(dirname "$host")" && "$run" regsvr32 /s /i:show Vantorel.dll)
"$run" reg delete 'HKCU\Software\Vantorel' /f >/dev/null 2>&1
"$run" reg delete 'HKCU\Software\Vantorel Host\Toolbars' /f >/dev/null 2>&1
ordered=1
mask='s/^\(box\|dialog\)\tvisible=0.*/\1\tvisible=0/'
place='box\tvisible=1\tx=642\ty=8\tw=242\th=24\n'
# In a box: Tab to the view, Alt+S back, Enter in Select mode to the files. In a window of 70 tabs
# the first, a middle and the last tab's boxes take them (a box comes once its tab has shown for
# two seconds); a dialog opened from tab 35's box hides while tab 70 is in front, leaving the frame
# active, comes back with its edit, and cancelled leaves the box's text shown.
keys="--type 'b*' --key tab --print state --key alt+s --print state --key enter --print state"
focus='state\tmode=0\toptions=0x33\tnomatch=0\tfocus=beta.txt\tfocuswindow='
moved="${focus}DirectUIHWND\tview=items\tframeactive=1\n${focus}Vantorel Editbox\tview=items\tframeactive=1\n"
moved="$moved${focus}DirectUIHWND\tview=items\tframeactive=1\n"
while IFS='|' read -r options steps expected; do
  printf "$expected" >"$dir/boxed"
  eval "set -- $options $steps"
  check "box: $options $steps" "$dir/boxed" --folder "$winpath" --fresh --settings 0,0x33 --explorer-11 "$@" </dev/null
done <<EOF
--toolbar-area shown --explorer-toolbars|--print toolbars --toolbar hide --print toolbars --print box|toolbar\t$clsid\nnotoolbar\nnobox\n
--toolbar-area hidden|--print toolbars --type 'b*' --print selected --print state --print box|box\t$clsid\nselected\tbeta.txt\nstate\tmode=0\toptions=0x33\tnomatch=0\tfocus=beta.txt\tfocuswindow=Vantorel Editbox\tview=items\tframeactive=1\n${place}box\ttext=b*\tglyph=select\tclear=normal\tcolours=black-on-white\n
--toolbar-area hidden --settings 1,0x33|--type 'b*' --print shown --tab new --print box --type 'a*' --print shown --tab 1 --print box --print shown|shown\tbeta.txt\n${place}box\ttext=\tglyph=filter\tclear=hidden\tcolours=black-on-white\nshown\talpha.txt\n${place}box\ttext=b*\tglyph=filter\tclear=normal\tcolours=black-on-white\nshown\tbeta.txt\n
--toolbar-area hidden|--frame minimize --print box --frame restore --print box --frame move:40,30 --print box|box\tvisible=0\n${place}box\ttext=\tglyph=select\tclear=hidden\tcolours=black-on-white\n${place}box\ttext=\tglyph=select\tclear=hidden\tcolours=black-on-white\n
--toolbar-area hidden|--type b --click clear --print box --click mode --menu filter --print state --click mode --menu settings --print dialog --dialog cancel|${place}box\ttext=\tglyph=select\tclear=hidden\tcolours=black-on-white\nmenu\tchecked=select\tchose=filter\nstate\tmode=1\toptions=0x33\tnomatch=0\tfocus=-\tfocuswindow=Vantorel Editbox\tview=items\tframeactive=1\nmenu\tchecked=filter\tchose=settings\ndialog\tvisible=1\tchecked=203,205,206,210\n
--toolbar-area hidden|--type 'b*' --click mode --menu settings --dialog cancel --print box|menu\tchecked=select\tchose=settings\n${place}box\ttext=b*\tglyph=select\tclear=normal\tcolours=black-on-white\n
--toolbar-area hidden|--type 'b*' --key enter --print state --key alt+s --print state --key tab --print state|state\tmode=0\toptions=0x33\tnomatch=0\tfocus=beta.txt\tfocuswindow=DirectUIHWND\tview=items\tframeactive=1\nstate\tmode=0\toptions=0x33\tnomatch=0\tfocus=beta.txt\tfocuswindow=Vantorel Editbox\tview=items\tframeactive=1\nstate\tmode=0\toptions=0x33\tnomatch=0\tfocus=beta.txt\tfocuswindow=DirectUIHWND\tview=items\tframeactive=1\n
--toolbar-area hidden --settings 1,0x23|--type 'b*' --key enter --click mode --menu keys --print selected --print dropdown --print state|menu\tchecked=filter\tchose=keys\nnoselection\nnodropdown\nstate\tmode=0\toptions=0x23\tnomatch=0\tfocus=-\tfocuswindow=Vantorel Editbox\tview=items\tframeactive=1\n
--toolbar-area hidden|--print state --key alt+s --key tab --tab new --print state|state\tmode=0\toptions=0x33\tnomatch=0\tfocus=-\tfocuswindow=CabinetWClass\tview=items\tframeactive=1\nstate\tmode=0\toptions=0x33\tnomatch=0\tfocus=-\tfocuswindow=DirectUIHWND\tview=items\tframeactive=1\n
--toolbar-area hidden|--print frame --key alt+s --key win+shift+up --print frame --key alt+s --key win+left --print frame --print box --key alt+s --key win+up --print frame --key alt+s --key win+down --print frame --print state|frame\tnormal\tx=0\ty=0\tw=900\th=640\nframe\tnormal\tx=0\ty=0\tw=900\th=1024\nframe\tnormal\tx=0\ty=0\tw=640\th=1024\nbox\tvisible=1\tx=382\ty=8\tw=242\th=24\nbox\ttext=\tglyph=select\tclear=hidden\tcolours=black-on-white\nframe\tmaximized\tx=-4\ty=-4\tw=1288\th=1032\nframe\tnormal\tx=0\ty=0\tw=640\th=1024\nstate\tmode=0\toptions=0x33\tnomatch=0\tfocus=-\tfocuswindow=DirectUIHWND\tview=items\tframeactive=1\n
--toolbar-area hidden|--key alt+s --key alt+space --print state|sysmenu\tCabinetWClass\nstate\tmode=0\toptions=0x33\tnomatch=0\tfocus=-\tfocuswindow=Vantorel Editbox\tview=items\tframeactive=1\n
--toolbar-area hidden|--frame size:240,160 --print box --frame size:800,600 --print box|box\tvisible=0\nbox\tvisible=1\tx=542\ty=8\tw=242\th=24\nbox\ttext=\tglyph=select\tclear=hidden\tcolours=black-on-white\n
--toolbar-area hidden|--tab new:69 $keys --tab 1 $keys --tab 35 $keys --click mode --menu settings --dialog check:201 --tab 70 --print dialog --print state --tab 35 --print dialog --dialog cancel --print box|$moved$moved${moved}menu\tchecked=select\tchose=settings\ndialog\tvisible=0\n${focus}CabinetWClass\tview=items\tframeactive=1\ndialog\tvisible=1\tchecked=201,203,205,206,210\n${place}box\ttext=b*\tglyph=select\tclear=normal\tcolours=black-on-white\n
--toolbar-area hidden|--type zzz --key enter --theme dark --print box --theme light --print box|${place}box\ttext=zzz\tglyph=select\tclear=normal\tcolours=other(761D1D)\n${place}box\ttext=zzz\tglyph=select\tclear=normal\tcolours=white-on-red\n
EOF
ends "box: alt+f4 closes the frame" 1 "the window is closed" --folder "$winpath" --fresh --settings 0,0x33 \
  --explorer-11 --toolbar-area hidden --key alt+s --key alt+f4 --print frame
mask=''
# The settings dialog's diagnosis button under a real click: the checks' report (their lines are
# the export's, tested on their own; here only their names) and this window's own lines, as a user
# pastes them. Each line: options | the host line | the number of tabs | the view | the ways of
# Select and Filter | whether the browser answers IFolderFilterSite and ICommDlgBrowser.
checks='module registration helper extensions addon smart-app-control windows explorer data'
mask="/^clipboard	\($(echo $checks | sed 's/ /\\|/g')\)	/s/\(^clipboard	[^	]*\)	.*/\1/"
while IFS='|' read -r options place tabs view select filter site; do
  { printf "$menu_settings"; printf 'clipboard\t%s\n' $checks
    printf 'clipboard\thost\tinfo\t%s\nclipboard\ttabs\tinfo\t%s\nclipboard\tview\tinfo\t%s\n' "$place" "$tabs" "$view"
    printf 'clipboard\tselect\tok\t%s\nclipboard\tfilter\t%s\n' "$select" "$filter"
    printf 'clipboard\tIFolderFilterSite\tinfo\tbrowser=%s view=no\n' "$site"
    printf 'clipboard\tIFolderViewOptions\tinfo\tbrowser=no view=no\n'
    printf 'clipboard\tICommDlgBrowser\tinfo\tbrowser=%s view=no\n' "$site"
    printf 'clipboard\tIFolderView2\tinfo\tbrowser=no view=yes\n'; } >"$dir/diagnosis"
  eval "set -- $options"
  check "diagnosis button: $options" "$dir/diagnosis" --folder "$winpath" --fresh --settings 0,0x33 "$@" \
    --click mode --menu settings --dialog click:211 --print clipboard </dev/null
done <<'EOF'
|toolbar, 96 DPI, light|0|list|list view|ok	filter site|yes
--filter-site no|toolbar, 96 DPI, light|0|list|list view|ok	list view wrapper|no
--explorer-11 --toolbar-area hidden --theme dark|box, 96 DPI, dark|1|items|shell view|ok	filter site|yes
--explorer-11 --filter-site no|toolbar, 96 DPI, light|1|items|shell view|warn	none: this window has no way to filter|no
EOF
mask=''
ordered=0
(cd "$(dirname "$host")" && "$run" regsvr32 /s /u Vantorel.dll)

# The mode menu in the user's display language, whatever the locale and code page of the
# program's thread: each line the locale the stand-in starts in, its --ui-language, the items.
ordered=1
while IFS='|' read -r locale language items; do
  printf "${items}menu\tchecked=select\tchose=dismiss\n" >"$dir/menu-$language"
  LC_ALL=$locale; export LC_ALL
  check "mode menu: $language under $locale" "$dir/menu-$language" --folder "$winpath" --settings 0,0x33 \
    --ui-language "$language" --click mode --print menu
  unset LC_ALL
done <<'EOF'
C|ja|menuitem\t選択\nmenuitem\tフィルタ\nmenuitem\t設定\n
ja_JP.UTF-8|en|menuitem\tSelect\nmenuitem\tFilter\nmenuitem\tSettings\n
EOF
printf 'menu\tchecked=select\tchose=settings\nsetting\tmode=0\toptions=0x32\n' >"$dir/dialog-en"
check "settings dialog in English, with the mouse" "$dir/dialog-en" --folder "$winpath" --settings 0,0x33 \
  --ui-language en --click mode --menu settings --dialog check:201 --dialog ok --print setting
ordered=0

# The display scale as Windows keeps it (LogPixels of the user's desktop settings, read by each
# program as it starts), set for each line and set back at the end. Each line: the DPI, then the
# band's sizes at that scale: today's sizes times DPI/96, the text starting one pixel inside the
# glyph areas (the edit control's own), the font's height. The drop-down's row height depends on
# the faces installed in the prefix: it is compared only as growing from one scale to the next.
desktop='HKCU\Control Panel\Desktop'
saved=$("$run" reg query "$desktop" /v LogPixels 2>/dev/null | awk '/LogPixels/ { print $3 }')
restore_scale() {
  if [ -n "$saved" ]; then "$run" reg add "$desktop" /v LogPixels /t REG_DWORD /d $((saved)) /f
  else "$run" reg delete "$desktop" /v LogPixels /f; fi >/dev/null 2>&1
}
trap 'restore_scale; rm -rf "$dir"' EXIT
mask='s/row=[0-9]*/row=*/'
row=0
while read -r dpi sizes; do
  "$run" reg add "$desktop" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  printf 'layout\tdpi=%s\t%s\trow=*\n' "$dpi" "$(echo "$sizes" | tr ' ' '\t')" >"$dir/scale-$dpi"
  check "scale: $dpi DPI" "$dir/scale-$dpi" --folder "$winpath" --settings 0,0x33 --print layout </dev/null
  was=$row
  row=$(sed -n 's/.*row=\([0-9]*\).*/\1/p' "$dir/actual.raw")
  [ "${row:-0}" -gt "$was" ] || { failures=$((failures + 1)); echo "FAILED: row height $row at $dpi DPI"; }
done <<'EOF'
96 min=120,22 box=22 mode=26 clear=17 icon=16 font=11
120 min=150,28 box=28 mode=32 clear=21 icon=20 font=14
144 min=180,33 box=33 mode=39 clear=25 icon=24 font=17
192 min=240,44 box=44 mode=51 clear=33 icon=32 font=22
EOF
# At 144 DPI the band moves to a display at 100 % and back (emulated, see --rescale): it lays
# itself out again each time and the stand-in, told by the band, asks for its new minimum size.
"$run" reg add "$desktop" /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
cat "$dir/scale-144" "$dir/scale-96" "$dir/scale-144" >"$dir/rescale"
check "scale: a move to 96 DPI and back" "$dir/rescale" --folder "$winpath" --settings 0,0x33 \
  --print layout --rescale --print layout --rescale --print layout
mask=''
restore_scale

# Linux paths, relative to the current folder or absolute, are taken; a path that names nothing
# of its kind ends the run with exit code 1 before anything opens, naming the path.
printf 'selected\tsub2008\nnavigated\t%s\\sub2008\n' "$winpath" >"$dir/p1"
check "linux paths" "$dir/p1" --folder folder --type 'sub*' --print selected --navigate "$dir/folder/sub2008"
for bad in "--folder $dir/none" "--folder folder/notes" "--navigate none" "--history $dir/folder" \
  "--screenshot $dir/none/shot.png"; do
  stand_in --folder folder $bad --print state >"$dir/actual" 2>"$dir/stderr"
  if [ $? -eq 1 ] && [ ! -s "$dir/actual" ] && grep -qF -- "${bad#* }" "$dir/stderr"; then
    passes=$((passes + 1)); echo "ok: refused $bad"
  else failures=$((failures + 1)); echo "FAILED: refused $bad"; cat "$dir/actual" "$dir/stderr"; fi
done

# A bad command line is one line (exit code 2); a step that fails names itself (exit code 1).
while IFS='|' read -r code args reason; do
  eval "set -- $args"
  ends "$args" "$code" "$reason" --folder folder "$@"
done <<'EOF'
2|--frobnicate|unknown argument --frobnicate (see --help)
2|--tab new|--tab wants --explorer-11 (see --help)
1|--click mode --menu dismiss --click mode --menu filter|--menu filter: no menu of this window appeared within 5 s of the press of --click mode
EOF

# The README's example as written, through scripts/vantorel-host, its sample folder under ours.
top=$(cd "$(dirname "$0")/../.." && pwd)
sed -n '/^Example, after `make build`/,/^The exit code/p' "$top/README.md" | awk -v d="$dir" '
  /^    /{ if (!b) n++; b = 1; l = substr($0, 5); gsub("/tmp/sample", d "/sample", l); print l > (d "/readme" n); next }
  { b = 0 }'
stand_in() { (cd "$top" && BUILD="$(dirname "$(dirname "$host")")" sh "$dir/readme1"); }
check "README example" "$dir/readme2"

echo "$passes passed, $failures failed"
[ $failures -eq 0 ]
