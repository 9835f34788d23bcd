#!/usr/bin/env bash
# Takes a screenshot of the main window under Xvfb, with a few lines typed and
# the help of one key shown (F1).
# Usage: scripts/screenshot.sh path/to/tessmark [output.png]
set -euo pipefail
binary=$(realpath "${1:-build/tessmark}")
out=$(realpath -m "${2:-docs/main-window.png}")
source "$(dirname "$0")/../tests/e2e/x11.sh"
trap stop_x EXIT
start_x
"$binary" &
main=$(wait_window "^Tessmark 2.0$")
focus_window "$main"
line() {
    xdotool type --delay 5 "$1"
    xdotool key Return
}
line '#include "cruise3.odf"'
line ''
line '//Name of Ship class in Ship Display window & in edit mode & tooltip'
line 'unitName = "Kestrel Lancer"'
line ''
line '//Amount of time required to build ship'
line 'buildTime = 25.0'
line ''
line "//$(printf '%.0s*' $(seq 70))"
line '//SHIP NAMES'
line ''
line 'possibleCraftNames = '
xdotool type --delay 5 $'\t"Kestrel One" "Kestrel Two"'
xdotool key Return Return
line 'attackPower = 0.25f'
xdotool key Up Home F1
sleep 0.5
mkdir -p "$(dirname "$out")"
# The tip is a window of its own: the picture is taken from the screen.
eval "$(xdotool getwindowgeometry --shell "$main")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
echo "$out"
