#!/usr/bin/env bash
# The program at home on the desktop, with real keystrokes: a file named on
# the command line opens at start as File > Open opens it, and one that
# cannot be read is reported in a box; Alt with a letter that opens no menu
# types nothing; Return presses the focused push button.
# Usage: e2e_desktop.sh path/to/tessmark
set -euo pipefail
binary=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
source "$here/x11.sh"

work=$(mktemp -d)
trap 'stop_x; rm -rf "$work"' EXIT
start_x
cd "$work"

save_as() {
    focus_window "$main"
    xdotool key ctrl+s
    dialog=$(wait_window "^Save As\.\.\.$")
    focus_window "$dialog"
    xdotool type --delay 10 "$work/$1"
    xdotool key Return
    wait_title "$main" "^$work/$1$"
}

"$binary" missing.odf &
app=$!
box=$(wait_window "^Tessmark$")
focus_window "$box"
xdotool key Return
wait_gone "$box"
wait_window "^Tessmark 2.0$" >/dev/null # the caption as at start
kill "$app"
wait_exit "$app"

printf 'a = 1\r\n' >ship.odf
"$binary" ship.odf &
main=$(wait_window "^ship\.odf$")
focus_window "$main"
xdotool key ctrl+End alt+z alt+n alt+q
xdotool type b
save_as keys.odf
printf 'a = 1\r\nb' | cmp - keys.odf || fail "Alt with a letter typed into the document"

focus_window "$main"
xdotool key ctrl+Tab Return # from the document to Clear
save_as cleared.odf
[ ! -s cleared.odf ] || fail "Return on the focused Clear button did not clear"
echo "e2e_desktop: passed"
