#!/usr/bin/env bash
# Drives the real program in a real X server with real keystrokes: opens the
# example ODF, the blank template and the About window through the main
# window's menus, selects all of each window's text, copies it and checks that
# the X clipboard holds that window's text with the platform's line breaks.
# Usage: e2e_companions.sh path/to/tessmark
# With TESSMARK_E2E_SCREENSHOT=file.png it keeps a picture of the screen with
# the three windows open.
set -euo pipefail
binary=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
resources=$(realpath "$here/../../resources")
source "$here/x11.sh"
command -v xsel >/dev/null || { echo "xsel is missing: run scripts/setup.sh" >&2; exit 1; }

work=$(mktemp -d)
trap 'stop_x; rm -rf "$work"' EXIT
start_x
cd "$work"

"$binary" &
app=$!
main=$(wait_window "^Tessmark 2\.0$")

clipboard_holds() {
    xsel --clipboard --output >"$work/copied" 2>/dev/null && cmp -s "$1" "$work/copied"
}

# Opens a window by the keys given after the title and the resource, copies
# all of its text and compares the clipboard with the resource's text.
check_copy() {
    local title=$1 resource=$2
    shift 2
    focus_window "$main"
    xdotool key --delay 100 "$@"
    local window
    window=$(wait_window "$title")
    focus_window "$window"

    xsel --clipboard --clear
    xdotool key ctrl+a ctrl+c
    tr -d '\r' <"$resources/$resource" >"$work/expected"
    for _ in $(seq 50); do
        clipboard_holds "$work/expected" && { echo "ok: $resource"; return 0; }
        sleep 0.1
    done
    diff "$work/expected" "$work/copied" | head -n 20 >&2 || true
    fail "the clipboard does not hold the text of $resource"
}

# Program Extras has two items with the access key O. Opened from the
# keyboard, the menu highlights its first item; each O moves on to the next
# item with that key, round to the first again, and Return chooses.
check_copy "^Example of an ODF\.\.\.$" example.odf alt+p o o Return
check_copy "^Published ODF\.\.\.$" template.odf alt+p o Return
check_copy "^About Tessmark 2\.0\.\.\.$" about-notes.txt alt+h a

if [ -n "${TESSMARK_E2E_SCREENSHOT:-}" ]; then
    import -window root "$TESSMARK_E2E_SCREENSHOT"
fi
kill -0 "$app" || fail "the program ended"
echo "e2e_companions: passed"
