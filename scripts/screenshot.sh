#!/usr/bin/env bash
# Takes a screenshot of the main window under Xvfb, with a few lines typed.
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
xdotool type --delay 5 '#include "cruise3.odf"'
xdotool key Return Return
xdotool type --delay 5 '//Name of Ship class in Ship Display window & in edit mode & tooltip'
xdotool key Return
xdotool type --delay 5 'unitName = "Kestrel Lancer"'
xdotool key Return
sleep 0.5
mkdir -p "$(dirname "$out")"
import -window "$main" "$out"
echo "$out"
