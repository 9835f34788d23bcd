#!/usr/bin/env bash
# Opens the hardpoint viewer in the real program under its own X server with
# real keystrokes, moves into a folder of pictures, selects them with the arrow
# keys and checks the frame's pixels on the screen.
# Usage: e2e_viewer.sh path/to/tessmark
set -euo pipefail

binary=$(realpath "$1")
# start_x; the helpers of the same names below take the place of the others.
source "$(dirname "$(realpath "$0")")/x11.sh"
work=$(mktemp -d)
xvfb_pid=
app_pid=

cleanup() {
    local status=$?
    if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null || true; wait "$app_pid" 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [ -n "${KEEP_SHOT:-}" ] && [ -f "$work/shot.png" ] && cp "$work/shot.png" "$KEEP_SHOT"
    [ -f "$work/app.log" ] && sed "s/^/app: /" "$work/app.log" >&2
    exit 1
}

# The pictures: the program starts in $work, the pictures are one folder down.
mkdir -p "$work/charts" "$work/other"
convert -size 240x120 xc:'rgb(255,0,0)' BMP3:"$work/charts/a-red.bmp"
convert -size 120x240 xc:'rgb(0,0,255)' -quality 95 "$work/charts/b-blue.JPG"
convert -size 64x64 xc:'rgb(0,255,0)' "$work/charts/c-green.gif"
convert -size 64x64 xc:'rgb(255,255,0)' "$work/charts/d-yellow.png"

# An X server of our own.
start_x
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

(cd "$work" && exec "$binary") >"$work/app.log" 2>&1 &
app_pid=$!

wait_window() { # name -> window id
    local id
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1) || true
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

main=$(wait_window 'Tessmark 2\.0') || fail "the main window did not appear"
xdotool windowfocus --sync "$main"
sleep 0.3

# View, Hardpoint Viewer. The focus starts on the drive list.
xdotool key --delay 100 alt+v h
viewer=$(wait_window 'Hardpoint Preview\.') || fail "the viewer did not open"
# Without a window manager nothing hands a new window the keyboard for sure:
# the closing menu may give it back to the main window. A user's click would;
# the test does, until the viewer keeps it.
focused=0
for _ in $(seq 20); do
    xdotool windowfocus "$viewer" 2>/dev/null || true
    sleep 0.2
    if [ "$(xdotool getwindowfocus)" = "$viewer" ]; then
        focused=$((focused + 1))
        [ "$focused" -ge 2 ] && break
    else
        focused=0
    fi
done
[ "$focused" -ge 2 ] || fail "the viewer did not keep the keyboard"

# Tab to the folder list, highlight the first subfolder ("charts") and open it
# with Enter; Tab on to the file list and select the first picture.
xdotool key --delay 150 Tab Down Return
sleep 0.3
xdotool key --delay 150 Tab Down

eval "$(xdotool getwindowgeometry --shell "$viewer")"
# The frame's inside at design 2640,120 twips and 5535x5055 twips: pixels
# 176,8 to 545,345, with a one-pixel border.
frame_x=$((X + 176))
frame_y=$((Y + 8))

pixel() { # x y -> "r,g,b" of the last screenshot
    convert "$work/shot.png" -format "%[fx:int(255*p{$1,$2}.r+0.5)],%[fx:int(255*p{$1,$2}.g+0.5)],%[fx:int(255*p{$1,$2}.b+0.5)]" info:
}

near() { # "r,g,b" "r,g,b" -> true when every channel is within 24
    local IFS=,
    read -r r1 g1 b1 <<<"$1"
    read -r r2 g2 b2 <<<"$2"
    for d in $((r1 - r2)) $((g1 - g2)) $((b1 - b2)); do
        [ "${d#-}" -le 24 ] || return 1
    done
}

# Waits until the frame's corners and centre show the expected "r,g,b".
check_frame() {
    local at seen wrong
    for _ in $(seq 40); do
        import -window root "$work/shot.png"
        wrong=
        for at in "3 3" "365 3" "184 168" "3 333" "365 333"; do
            set -- $at
            seen=$(pixel $((frame_x + $1)) $((frame_y + $2)))
            near "$seen" "$expected" || { wrong="pixel $1,$2 is $seen"; break; }
        done
        [ -z "$wrong" ] && return 0
        sleep 0.25
    done
    fail "frame $wrong, expected $expected"
}

expected="255,0,0"
check_frame
# The next file with the arrow key: the JPEG named in capitals.
xdotool key Down
expected="0,0,255"
check_frame
xdotool key Down
expected="0,255,0"
check_frame

[ -n "${KEEP_SHOT:-}" ] && cp "$work/shot.png" "$KEEP_SHOT"
kill -0 "$app_pid" 2>/dev/null || fail "the program ended"
echo "PASS"
