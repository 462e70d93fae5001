#!/bin/sh
# An unprivileged user with the module in a root-owned folder (mode 755), as an installation
# under Program Files is: the keyword and the mode reach the user's local application data,
# nothing is written beside the module, and the next window starts from them. A history file
# beside the module is the starting content (the text left in the box at the end is kept too).
# Runs as root; makes the user and its own prefix.
# Usage: unprivileged.sh HOST_EXE MODULE
[ "$(id -u)" = 0 ] || { echo "needs root to make the user"; exit 77; }
. "$(dirname "$0")/../../scripts/wine-env.sh"
user=vantorel-user
id "$user" >/dev/null 2>&1 || useradd -m "$user" || exit 1
home=$(getent passwd "$user" | cut -d: -f6)
prefix="$home/wineprefix"
as_user() { runuser -u "$user" -- env HOME="$home" USER="$user" WINEPREFIX="$prefix" WINEARCH=win64 DISPLAY="$DISPLAY" "$@"; }
trap 'as_user "$WINESERVER" -k 2>/dev/null; rm -rf "$dir"' EXIT
[ -f "$prefix/.ready" ] || { as_user "$WINE64" wineboot -i >/dev/null 2>&1 &&
  as_user "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 &&
  as_user "$WINESERVER" -w && as_user touch "$prefix/.ready"; } || exit 1
data="$prefix/drive_c/users/$user/AppData/Local/Vantorel"
rm -rf "$data"
dir=$(mktemp -d) && chmod 755 "$dir" && mkdir -m 755 "$dir/module" "$dir/folder" || exit 1
cp "$1" "$2" "$dir/module/" && : >"$dir/folder/alpha.txt" && : >"$dir/folder/beta.txt"
printf 'alpha.txt\r\n' >"$dir/module/history.txt"
ls -l "$dir/module" >"$dir/before"
host() { (cd "$dir/module" && as_user "$WINE64" ./vantorel-host.exe --dll 'Z:'"$(echo "$dir/module/Vantorel.dll" | tr / '\\')" \
  --folder 'Z:'"$(echo "$dir/folder" | tr / '\\')" "$@"); }
host --type beta --key enter --click mode --menu filter >/dev/null || exit 1
second=$(host --type b --print dropdown --print state) || exit 1
failed=0
check() { [ "$2" = "$3" ] || { echo "FAILED: $1: expected [$2], got [$3]"; failed=1; }; }
check "history in the user's data" "$(printf 'alpha.txt\r\nbeta\r\nb\r\n' | od -c)" "$(od -c <"$data/history.txt")"
check "settings in the user's data" "$(printf '\1\0\0\0\63\2\0\0' | od -c)" "$(od -c <"$data/setting")"
check "nothing written beside the module" "$(cat "$dir/before")" "$(ls -l "$dir/module")"
check "second window" "$(printf 'dropdown\tbeta\nstate\tmode=1\toptions=0x233\tnomatch=0\tfocus=-\tfocuswindow=Vantorel Editbox\tview=list')" "$second"
[ $failed = 0 ] && echo "ok: unprivileged user"
exit $failed
