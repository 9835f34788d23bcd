#!/usr/bin/env bash
# Drives the real editor in a real X server with real keystrokes: types a
# line, appends snippets from the Insert menu, saves through the Save As
# dialog, opens the file again through the Open dialog, and quits with Exit.
# Usage: e2e_editor.sh path/to/tessmark
set -euo pipefail
binary=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
source "$here/x11.sh"

work=$(mktemp -d)
trap 'stop_x; rm -rf "$work"' EXIT
start_x
cd "$work"

"$binary" &
app=$!
main=$(wait_window "^Tessmark 2.0$")
focus_window "$main"

xdotool type --delay 20 'unitName = "Hawk"'
xdotool key Return
xdotool key alt+i Return                 # Insert > Include Line
xdotool key alt+i Down Return            # Insert > Item Separator
xdotool key alt+i Down Down Return       # Insert > //

# Save As through the real dialog; it asks nothing before replacing.
echo old > "$work/ship.odf"
xdotool key ctrl+s
dialog=$(wait_window "^Save As\.\.\.$")
focus_window "$dialog"
xdotool type --delay 10 "$work/ship.odf"
xdotool key Return
wait_title "$main" "^$work/ship.odf$"

stars=$(printf '%.0s*' $(seq 53))
printf 'unitName = "Hawk"\r\n#include ".odf"//%s//' "$stars" > "$work/expected.odf"
cmp "$work/ship.odf" "$work/expected.odf" || fail "saved bytes differ"

# New empties the text (nothing unsaved, so nothing is asked); Open loads the
# file again and shows its name.
focus_window "$main"
xdotool key ctrl+n
xdotool key ctrl+o
dialog=$(wait_window "^Open\.\.\.$")
focus_window "$dialog"
xdotool type --delay 10 "$work/ship.odf"
xdotool key Return
wait_title "$main" "^ship\.odf$"

# Saved again unchanged under another name: the same bytes.
focus_window "$main"
xdotool key ctrl+s
dialog=$(wait_window "^Save As\.\.\.$")
focus_window "$dialog"
xdotool type --delay 10 "$work/copy.odf"
xdotool key Return
wait_title "$main" "^$work/copy.odf$"
cmp "$work/copy.odf" "$work/expected.odf" || fail "open then save changed the bytes"

# Exit: No keeps the program, Yes ends it.
focus_window "$main"
xdotool key alt+f e
box=$(wait_window "^Tessmark$")
focus_window "$box"
xdotool key alt+n
wait_gone "$box"
kill -0 "$app" || fail "the program ended after No"
focus_window "$main"
xdotool key alt+f e
box=$(wait_window "^Tessmark$")
focus_window "$box"
xdotool key alt+y
wait_exit "$app"
echo "e2e_editor: passed"
