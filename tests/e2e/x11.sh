# Helpers for the end-to-end tests: a private X server and waits on windows.
# Sourced by the e2e_*.sh scripts.

fail() {
    echo "FAIL: $*" >&2
    if [ -n "${DISPLAY:-}" ] && command -v import >/dev/null; then
        import -window root "/tmp/e2e-failure-$$.png" 2>/dev/null &&
            echo "screenshot: /tmp/e2e-failure-$$.png" >&2
    fi
    exit 1
}

# A display of our own. The number is only ours once our server holds its
# lock: a test running beside this one may take a free-looking number between
# the look and the server's start, and its server would then answer here. The
# numbers are high, away from the :0 that stray clients reach for, and the
# server never resets, so that no client's leaving closes it to the next.
start_x() {
    local n lock
    unset QT_QPA_PLATFORM # the program must draw on this server, not off screen
    for n in $(shuf -i 400-899 -n 20); do
        lock="/tmp/.X$n-lock"
        [ -e "$lock" ] && continue
        Xvfb ":$n" -noreset -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb_pid=$!
        for _ in $(seq 50); do
            kill -0 "$xvfb_pid" 2>/dev/null || break
            if [ "$({ tr -d ' \n' <"$lock"; } 2>/dev/null)" = "$xvfb_pid" ] &&
                xdpyinfo -display ":$n" >/dev/null 2>&1; then
                export DISPLAY=":$n"
                return 0
            fi
            sleep 0.1
        done
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    done
    echo "could not start Xvfb" >&2
    exit 1
}

stop_x() {
    pkill -P $$ 2>/dev/null || true
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
}

# Prints the id of the first visible window whose title matches the pattern.
wait_window() {
    local id
    for _ in $(seq 300); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) || true
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    fail "no window titled '$1'"
}

wait_gone() {
    for _ in $(seq 300); do
        xdotool getwindowname "$1" >/dev/null 2>&1 || return 0
        xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable' || return 0
        sleep 0.1
    done
    fail "window $1 is still there"
}

wait_title() {
    local title=""
    for _ in $(seq 300); do
        title=$(xdotool getwindowname "$1" 2>/dev/null) || true
        [[ "$title" =~ $2 ]] && return 0
        sleep 0.1
    done
    fail "title is '$title', expected '$2'"
}

wait_exit() {
    for _ in $(seq 300); do
        kill -0 "$1" 2>/dev/null || return 0
        sleep 0.1
    done
    fail "process $1 did not end"
}

# Without a window manager nothing gives a new window the keyboard; the test
# does, as a user's click would.
focus_window() {
    xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"
    sleep 0.2
}
