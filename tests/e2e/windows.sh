#!/usr/bin/env bash
# The Windows installer under Wine, end to end: it installs silently into the
# fresh prefix $WINEPREFIX, offers the program for .odf without taking the
# type's default from another program; the installed program opens a
# Windows-1252 file with CR LF lines named on its command line and saves it
# back byte for byte through File > Save As and the system's own dialog; the
# uninstaller then removes everything it installed. Needs DISPLAY (Xvfb) and
# WINEPREFIX; run by scripts/windows.sh.
# Usage: tests/e2e/windows.sh SETUP.EXE
set -euo pipefail
setup=$1
: "${WINEPREFIX:?}" "${DISPLAY:?}"
export WINEDEBUG=-all

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
retry() { # up to 60 seconds: Wine starts programs slowly
    for _ in $(seq 600); do
        "$@" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}
window() { id=$(xdotool search --onlyvisible --name "$1" | head -n 1) && [ -n "$id" ]; }
wait_window() { retry window "$1" || fail "no window titled '$1'"; }
reg_value() { wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v v="$2" '$1 == v { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'; }
reg_default() { wine reg query "$1" /ve 2>/dev/null | tr -d '\r' | awk '/REG_SZ/ { sub(/.*REG_SZ +/, ""); print }'; }

uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessmark'
# Another program owns .odf already (OpenDocument formulas).
wine reg add 'HKCU\Software\Classes\.odf' /ve /d OtherApp.odf /f >/dev/null

wine "$setup" /S
wineserver --wait
programs=$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Local/Programs)
home=$(dirname "$(dirname "$(dirname "$programs")")")
folder=$programs/Tessmark
[ -f "$folder/tessmark.exe" ] && [ -f "$folder/platforms/qwindows.dll" ] ||
    fail "nothing installed in $folder"
[ -f "$home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tessmark.lnk" ] ||
    fail "no Start menu entry"
[ "$(reg_value "$uninstall_key" DisplayName)" = Tessmark ] || fail "not among the installed apps"
[ -n "$(wine reg query 'HKCU\Software\Classes\.odf\OpenWithProgids' /v Tessmark.odf 2>/dev/null)" ] ||
    fail "not offered in Open with"
[ "$(reg_default 'HKCU\Software\Classes\.odf')" = OtherApp.odf ] || fail "took the default for .odf"
echo "installed in $folder"

# A Windows-1252 file with CR LF lines, a quoted string with an e acute.
printf '// Frachter\r\n[GameObjectClass]\r\nunitName = "Caf\xe9"\r\nbuildTime = 2.5f\r\n' >"$home/in.odf"
exe=$(winepath -w "$folder/tessmark.exe")
wine "$exe" "$(winepath -w "$home/in.odf")" >/dev/null 2>&1 &
program=$!
wait_window '^in\.odf'
xdotool windowfocus --sync "$id" 2>/dev/null || true
xdotool key --delay 200 ctrl+s
wait_window 'Save As'
xdotool windowfocus --sync "$id" 2>/dev/null || true
sleep 1
xdotool type --delay 30 "$(winepath -w "$home/out.odf")"
xdotool key Return
retry test -s "$home/out.odf" || fail "Save As wrote nothing"
sleep 1
cmp "$home/in.odf" "$home/out.odf" || fail "the saved file differs from the one opened"
echo "opened and saved back byte for byte"
wait_window 'out\.odf'
xdotool windowfocus --sync "$id" 2>/dev/null || true
xdotool key alt+F4
retry bash -c "! kill -0 $program" || { kill "$program"; fail "the program did not end"; }

wine "$folder/uninstall.exe" /S
wineserver --wait
retry test ! -e "$folder" || fail "left behind: $(find "$folder")"
[ ! -e "$home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tessmark.lnk" ] ||
    fail "the Start menu entry is left"
[ -z "$(reg_value "$uninstall_key" DisplayName)" ] || fail "still among the installed apps"
[ -z "$(wine reg query 'HKCU\Software\Classes\Tessmark.odf' 2>/dev/null)" ] || fail "the program id is left"
[ "$(reg_default 'HKCU\Software\Classes\.odf')" = OtherApp.odf ] || fail "the .odf default is lost"
echo "uninstalled"
