# shellcheck shell=bash
# Helpers for the end-to-end tests and the screenshot script: a private X
# server and waits on windows. Sourced.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Runs a command until it succeeds, for up to 30 seconds: a loaded machine
# starts windows slowly.
retry() {
    for _ in $(seq 300); do
        "$@" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

# A display of our own. The number is only ours once our server holds its
# lock: a test beside this one may take a free-looking number first. The
# server never resets, so that no client's leaving closes it to the next.
start_x() {
    export QT_QPA_PLATFORM=xcb
    local n
    for n in $(shuf -i 400-899 -n 20); do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -noreset -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb_pid=$!
        if retry ours "$n"; then
            export DISPLAY=":$n"
            return 0
        fi
        kill "$xvfb_pid" 2>/dev/null || true
    done
    fail "could not start Xvfb"
}
ours() { [ "$(tr -d ' \n' <"/tmp/.X$1-lock")" = "$xvfb_pid" ] && xdpyinfo -display ":$1" >/dev/null; }

stop_x() {
    jobs -p | xargs -r kill 2>/dev/null || true
    wait 2>/dev/null || true
}

# A window manager, for the scenarios that need one: minimizing, a close box.
start_wm() {
    openbox --sm-disable >/dev/null 2>&1 &
    retry managed || fail "could not start the window manager"
}
managed() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }

# Prints the id of the first visible window whose title matches the pattern.
wait_window() {
    retry visible "$1" || fail "no window titled '$1'"
    echo "$id"
}
visible() { id=$(xdotool search --onlyvisible --name "$1" | head -n 1) && [ -n "$id" ]; }

# Without a window manager nothing gives a new window the keyboard; the test
# does, as a user's click would.
focus_window() {
    xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"
    sleep 0.2
}
