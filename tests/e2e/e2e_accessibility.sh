#!/usr/bin/env bash
# Reads the real editor through the screen-reader interface (AT-SPI) in a
# real X server, on a D-Bus session of its own: the text area and the
# viewer's controls carry the names a screen reader speaks, the text area's
# text and caret can be read, the picture frame's description names the
# picture shown, and the Edit menu's items are enabled as their rules say: Cut
# and Copy while there is text, Paste from the first Cut or Copy on.
# Usage: e2e_accessibility.sh path/to/tessmark
set -euo pipefail
if [ -z "${TESSMARK_E2E_PRIVATE_BUS:-}" ]; then
    # dbus-run-session ends the bus, and the accessibility bus it starts,
    # when the test ends.
    exec env TESSMARK_E2E_PRIVATE_BUS=1 dbus-run-session -- bash "$0" "$@"
fi
binary=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
source "$here/x11.sh"
atspi() { /usr/bin/python3 "$here/atspi.py" Tessmark "$@" || fail "AT-SPI: $*"; }

work=$(mktemp -d)
trap 'stop_x; rm -rf "$work"' EXIT
start_x
cd "$work"
convert -size 40x30 xc:red "BMP3:$work/hawk.bmp"

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$binary" &
app=$!
main=$(wait_window "^Tessmark 2.0$")
atspi expect-edit 0 0 0
focus_window "$main"
atspi expect-focused text Document

# Cut and Copy follow the text; Paste waits for the first Cut or Copy.
xdotool type --delay 20 'unitName'
atspi expect-edit 1 1 0
# The text and the caret, as a screen reader reads them.
xdotool key Left Left
atspi expect-text Document unitName 6
xdotool key ctrl+a ctrl+c
atspi expect-edit 1 1 1
xdotool key BackSpace
atspi expect-edit 0 0 1

# The viewer opens in the current folder; Tab, Tab and Down pick its picture.
xdotool key alt+v h
viewer=$(wait_window "^Hardpoint Preview\.$")
focus_window "$viewer"
atspi expect-focused "combo box" Drives
atspi expect-object list Files
atspi expect-object image Picture ""
xdotool key Tab
atspi expect-focused tree Folders
xdotool key Tab Down
atspi expect-object image Picture hawk.bmp

kill "$app"
wait_exit "$app"
echo "e2e_accessibility: passed"
