#!/bin/sh
# The diagnosis as a user runs it: rundll32 "...\Vantorel.dll",Diagnose FILE, with the module
# registered as /i:show registers it, then with each way of keeping it out of Explorer that the
# report is to name. Every run leaves the registry and the data files as they were.
# Usage: diagnosis.sh HOST_EXE WINE_RUN
host="$1"
run="$2"
module_dir="$(cd "$(dirname "$host")" && pwd)"
dir=$(mktemp -d "${TMPDIR:-/tmp}/vantorel-diag.XXXXXX")
clsid='{C84B9402-A5BF-4696-9B32-D83997116073}'
helper='HKLM\Software\Microsoft\Windows\CurrentVersion\Explorer\Browser Helper Objects\{1DEEED5F-6CAC-4B5A-8EB7-21156CAACC7F}'
main='HKCU\Software\Microsoft\Internet Explorer\Main'
addon="HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Settings\\$clsid"
winpath() { echo "$1" | sed 's|/|\\|g;s|^|Z:|'; }
in_module_dir() { (cd "$module_dir" && "$run" "$@"); }
quiet() { "$run" "$@" >/dev/null 2>&1; }
cleanup() {
  quiet reg delete "$main" /v 'Enable Browser Extensions' /f
  quiet reg delete "$addon" /f
  in_module_dir regsvr32 /s /u Vantorel.dll
  rm -rf "$dir"
}
trap cleanup EXIT
failures=0
passes=0
ok() { passes=$((passes + 1)); echo "ok: $1"; }
failed() { failures=$((failures + 1)); echo "FAILED: $1"; }

# The registry as the Wine server holds it, and the band's two data files: the whole registry
# around the first and the last run, the user's part around the others (the machine's part takes
# seconds to export, and each run is the same code reading it). Left out: the display's keys that
# Wine's graphics driver makes whenever a program first draws, and the trust provider's own state
# that the platform's signature check records the first time it runs in a prefix.
roots='HKLM HKCU'
state() {
  for root in $roots; do
    # Wine's reg now and then ends without writing the file: asked again, at most three times.
    for try in 1 2 3; do
      rm -f "$dir/$root.reg"
      quiet reg export "$root" "$(winpath "$dir/$root.reg")" /y
      [ -s "$dir/$root.reg" ] && break
    done
    iconv -f UTF-16 -t UTF-8 "$dir/$root.reg" | awk '/^\[/ { skip = index($0, "CurrentControlSet\\Control\\Video") || index(tolower($0), "\\wintrust") }
      !skip'
    [ -s "$dir/$root.reg" ] || failed "no export of $root" >&2
  done
  for name in setting history.txt; do
    [ -e "$module_dir/$name" ] && md5sum "$module_dir/$name" || echo "no $name"
  done
}

# diagnose NAME: the report of one run in $dir/NAME.txt, as plain text without the mark and CRs.
diagnose() {
  state >"$dir/before"
  (cd "$module_dir" && env $locale "$run" rundll32 Vantorel.dll,Diagnose "$(winpath "$dir/$1.raw")")
  state >"$dir/after"
  if cmp -s "$dir/before" "$dir/after"; then ok "$1: registry and data unchanged"; else
    failed "$1: registry or data changed"; diff "$dir/before" "$dir/after" | head -20; fi
  sed '1s/^\xEF\xBB\xBF//;s/\r$//' "$dir/$1.raw" >"$dir/$1.txt"
  if head -c 3 "$dir/$1.raw" | od -An -tx1 | grep -q 'ef bb bf' && [ "$(grep -c "$(printf '\r')$" "$dir/$1.raw")" = \
    "$(wc -l <"$dir/$1.raw")" ]; then ok "$1: UTF-8 with its mark, CR LF"; else failed "$1: not UTF-8 with a mark and CR LF"; fi
}

# expect NAME CHECK STATE TEXT: the line of CHECK in report NAME has STATE and holds TEXT.
expect() {
  line=$(awk -F '\t' -v c="$2" '$1 == c' "$dir/$1.txt")
  if [ "$(printf '%s\n' "$line" | cut -f2)" = "$3" ] && printf '%s\n' "$line" | cut -f3 | grep -qF -- "$4"; then
    ok "$1: $2 $3"
  else failed "$1: $2 is not $3 with [$4]: $line"; fi
}

# The report speaks the user's display language, here English.
locale=LC_ALL=en_US.UTF-8
in_module_dir regsvr32 /s /i:show Vantorel.dll
quiet reg delete "$main" /v 'Enable Browser Extensions' /f

# Everything in place: every line a known check in a known state, in order; nothing fails, the
# unsigned module warns.
diagnose placed
if [ "$(cut -f1 "$dir/placed.txt" | tr '\n' ' ')" = \
  "module registration helper extensions addon smart-app-control windows explorer data " ] &&
  ! cut -f2 "$dir/placed.txt" | grep -qvE '^(ok|warn|fail|info)$'; then ok "placed: the checks in order"
else failed "placed: the checks in order"; cat "$dir/placed.txt"; fi
if grep -q "$(printf '\tfail\t')" "$dir/placed.txt"; then failed "placed: a line fails"; cat "$dir/placed.txt"
else ok "placed: no line fails"; fi
expect placed module warn 'Vantorel.dll'
expect placed registration ok 'Vantorel.dll'
expect placed helper ok 'Vantorel'
expect placed data ok 'setting'
expect placed addon ok 'The toolbar and the helper are both enabled in [Manage add-ons]'
roots=HKCU

# Each way of keeping the band out of Explorer, and each kind of history file, set up, diagnosed
# and taken back: the setting's command | the check | its state | what its line names | the command
# that takes it back. The history's rows run under a Western and a Japanese locale (code page 932).
history="$module_dir/history.txt"
[ -e "$history" ] && cp "$history" "$dir/history.kept"
while IFS='|' read -r setup check state text undo; do
  for locale in LC_ALL=en_US.UTF-8 LC_ALL=ja_JP.UTF-8; do
    [ "$check" = data ] || [ "$locale" = LC_ALL=en_US.UTF-8 ] || continue
    eval "$setup"
    diagnose "$check"
    expect "$check" "$check" "$state" "$(echo "$text" | sed "s/ACP/$([ "${locale#*=}" = ja_JP.UTF-8 ] && echo 932 || echo 1252)/")"
    eval "$undo"
  done
done <<EOF
quiet reg add "$main" /v 'Enable Browser Extensions' /t REG_SZ /d no /f|extensions|fail|inetcpl.cpl|quiet reg delete "$main" /v 'Enable Browser Extensions' /f
quiet reg add "$addon" /v Flags /t REG_DWORD /d 1 /f|addon|fail|inetcpl.cpl|quiet reg delete "$addon" /f
quiet reg add "$helper" /v NoExplorer /t REG_SZ /d 1 /f|helper|fail|regsvr32 /i:show|quiet reg delete "$helper" /v NoExplorer /f
printf 'alpha\r\n\343\203\231\r\n' >"$history"|data|ok|(UTF-8, 2 |rm -f "$history"
printf 'alpha\r\nbeta\r\ngamma\r\n' >"$history"|data|ok|(ANSI ACP, 3 |rm -f "$history"
printf 'a\000\351\r\n' >"$history"|data|warn|UTF-8|rm -f "$history"
EOF
[ -e "$dir/history.kept" ] && cp "$dir/history.kept" "$history"

# Not registered at all: the command that registers it.
in_module_dir regsvr32 /s /u Vantorel.dll
roots='HKLM HKCU'
diagnose registration
expect registration registration fail 'regsvr32 /i:show'

echo "$passes passed, $failures failed"
[ $failures -eq 0 ]
