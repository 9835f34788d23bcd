#!/usr/bin/env bash
# The Windows installer under Wine, end to end: it installs silently into the
# fresh prefix $WINEPREFIX and offers the program for .odf without taking the
# type's default from another program; the installed program opens a
# Windows-1252 file with CR LF lines named on its command line and saves it
# back byte for byte through File > Save As and the system's own dialog; the
# uninstaller then removes everything it installed. Needs DISPLAY (Xvfb) and
# WINEPREFIX; scripts/windows.sh runs it.
# Usage: scripts/windows-package-check.sh SETUP.EXE
set -euo pipefail
: "${WINEPREFIX:?}" "${DISPLAY:?}"
export WINEDEBUG=-all

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
retry() { # for up to 60 seconds: Wine starts programs slowly
    for _ in $(seq 600); do
        "$@" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}
# Waits for a window and gives it the keyboard, as a click would.
focus() {
    retry xdotool search --onlyvisible --name "$1" >/dev/null || fail "no window '$1'"
    xdotool search --onlyvisible --name "$1" windowfocus --sync 2>/dev/null || true
}
reg() { wine reg query "$@" 2>/dev/null | tr -d '\r'; }
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessmark'
classes='HKCU\Software\Classes'

# Another program owns .odf already (OpenDocument formulas).
wine reg add "$classes\\.odf" /ve /d OtherApp.odf /f >/dev/null
wine "$1" /S
wineserver --wait
home=$(cd "$WINEPREFIX"/drive_c/users/*/AppData/.. && pwd)
folder=$home/AppData/Local/Programs/Tessmark
menu="$home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tessmark.lnk"
[ -f "$folder/tessmark.exe" ] && [ -f "$menu" ] || fail "not installed"
reg "$key" | grep -q 'DisplayName.*Tessmark' || fail "not among the installed apps"
reg "$classes\\.odf\\OpenWithProgids" | grep -q Tessmark.odf || fail "not offered in Open with"
reg "$classes\\.odf" /ve | grep -q OtherApp.odf || fail "took the default for .odf"

printf '// Frachter\r\n[GameObjectClass]\r\nunitName = "Caf\xe9"\r\nbuildTime = 2.5f\r\n' >"$home/in.odf"
wine "$(winepath -w "$folder/tessmark.exe")" "$(winepath -w "$home/in.odf")" >/dev/null 2>&1 &
program=$!
focus '^in\.odf'
xdotool key --delay 200 ctrl+s
focus 'Save As'
sleep 1
# The name field offers the document's own name: replace it.
xdotool key --delay 100 End shift+Home
xdotool type --delay 30 "$(winepath -w "$home/out.odf")"
xdotool key Return
focus 'out\.odf'
cmp "$home/in.odf" "$home/out.odf" || fail "the file saved differs from the one opened"
xdotool key alt+F4
retry bash -c "! kill -0 $program" || fail "the program did not end"
echo "installed; opened and saved back byte for byte"

wine "$folder/uninstall.exe" /S
wineserver --wait
[ ! -e "$folder" ] && [ ! -e "$menu" ] && ! reg "$key" | grep -q Tessmark &&
    ! reg "$classes\\Tessmark.odf" | grep -q . || fail "the uninstaller left some of it"
reg "$classes\\.odf" /ve | grep -q OtherApp.odf || fail "the default for .odf is lost"
echo "uninstalled"
