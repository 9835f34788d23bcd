#!/usr/bin/env bash
# The real program in a private X server, driven with real keystrokes
# (xdotool) and read back from its files, the clipboard, the screen and
# AT-SPI, one scenario at a time.
# Usage: e2e.sh editor|companions|accessibility|desktop|search path/to/tessmark
set -euo pipefail
scenario=$1
binary=$(realpath "$2")
here=$(dirname "$(realpath "$0")")
if [[ "$scenario" =~ ^(accessibility|search)$ ]] && [ -z "${TESSMARK_E2E_BUS:-}" ]; then
    # A D-Bus session, and so an accessibility bus, of its own, whose socket
    # goes in a runtime folder of its own: runs side by side share neither.
    runtime=$(mktemp -d)
    exec env TESSMARK_E2E_BUS="$runtime" XDG_RUNTIME_DIR="$runtime" \
        dbus-run-session -- bash "$0" "$@"
fi
source "$here/x11.sh"
work=$(mktemp -d)
trap 'stop_x; rm -rf "$work" ${TESSMARK_E2E_BUS:+"$TESSMARK_E2E_BUS"}' EXIT
cd "$work"
unset WAYLAND_DISPLAY
start_x

title_is() { [[ "$(xdotool getwindowname "$1")" =~ $2 ]]; }
ended() { ! kill -0 "$1"; }
closed() { ! xwininfo -id "$1" | grep -q IsViewable; }
# Types a path into the file dialog of that title and accepts it.
answer_dialog() {
    focus_window "$(wait_window "$1")"
    xdotool type --delay 10 "$2"
    xdotool key Return
}
atspi() { /usr/bin/python3 "$here/atspi.py" Tessmark "$@" || fail "AT-SPI: $*"; }

# Types, appends two snippets, saves over another file (its question answered
# No, which is focused and keeps the file and the dialog, then Yes), opens it
# again; New's Save Changes? answered with Escape or the close box, Escape to
# Quit?, Minimize and a restore keep the text; Yes to Quit? ends. A window
# manager runs.
run_editor() {
    start_wm
    "$binary" &
    local app=$! main step box
    main=$(wait_window '^Tessmark 2\.0$')
    focus_window "$main"
    xdotool type --delay 20 'unitName = "Hawk"'
    xdotool key --delay 100 Return alt+i Return alt+i Down Return
    echo old >ship.odf
    focus_window "$main"
    xdotool key ctrl+s
    answer_dialog '^Save As\.\.\.$' "$work/ship.odf"
    for key in Return alt+y; do
        box=$(wait_window '^Tessmark$')
        focus_window "$box"
        xdotool key $key
        retry closed "$box" || fail "the question stays open after $key"
        [ $key = Return ] || break
        echo old | cmp - ship.odf || fail "No to the question replaced the file"
        focus_window "$(wait_window '^Save As\.\.\.$')"
        xdotool key Return
    done
    retry title_is "$main" "^$work/ship\.odf\$" || fail "the caption after saving ship.odf"
    printf 'unitName = "Hawk"\r\n#include ".odf"//%s' "$(printf '%.0s*' $(seq 53))" >expected
    cmp expected ship.odf || fail "the saved bytes differ: $(od -c ship.odf | head -5)"
    focus_window "$main"
    xdotool key ctrl+n ctrl+o
    answer_dialog '^Open\.\.\.$' "$work/ship.odf"
    retry title_is "$main" '^ship\.odf$' || fail "the caption after Open"
    for step in 'ctrl+End 1 ctrl+n:Escape' ctrl+n:alt+F4 'alt+f e:Escape' 'ctrl+Tab Tab space:'; do
        focus_window "$main"
        xdotool key --delay 100 ${step%:*}
        [ -n "${step#*:}" ] || break
        box=$(wait_window '^Tessmark$')
        focus_window "$box"
        xdotool key "${step#*:}"
        retry closed "$box" || fail "the message box stays open after $step"
    done
    retry state_is "$main" Iconic || fail "Minimize did not minimize the window"
    xdotool windowactivate "$main"
    retry state_is "$main" Normal || fail "the window did not come back"
    save_as "$main" kept.odf
    printf 1 | cat expected - | cmp - kept.odf || fail "the text changed: $(od -c kept.odf)"
    focus_window "$main"
    xdotool key --delay 100 alt+f e
    focus_window "$(wait_window '^Tessmark$')"
    xdotool key alt+y
    retry ended "$app" || fail "Yes to Quit? did not end the program"
}
state_is() { xprop -id "$1" WM_STATE | grep -q "window state: $2"; }

# Opens each reference window from the keyboard and copies all its text: the
# clipboard holds the window's text with the platform's line breaks.
run_companions() {
    "$binary" &
    local main row keys title resource
    main=$(wait_window '^Tessmark 2\.0$')
    # Program Extras' two items share the key O: each O moves on, Return runs.
    for row in 'alt+p o o Return:Example of an ODF:example.odf' \
        'alt+p o Return:Published ODF:template.odf' 'alt+h a:About Tessmark 2\.0:about-notes.txt'; do
        IFS=: read -r keys title resource <<<"$row"
        focus_window "$main"
        xdotool key --delay 100 $keys
        focus_window "$(wait_window "^$title\.\.\.$")"
        xsel --clipboard --clear
        xdotool key ctrl+a ctrl+c
        tr -d '\r' <"$here/../../resources/$resource" >expected
        retry copied || fail "the clipboard does not hold $resource"
    done
}
copied() { xsel --clipboard --output >copied && cmp -s expected copied; }

# The viewer from the keyboard, as a screen reader hears it: the focus and the
# names on the way, and the picture picked and named (tst_windows checks that
# the frame shows it).
run_accessibility() {
    convert -size 240x120 xc:red BMP3:hawk.bmp
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$binary" &
    local viewer main
    main=$(wait_window '^Tessmark 2\.0$')
    focus_window "$main"
    atspi focused text Document
    xdotool type --delay 20 $'buildTime = 2\rrace = 1'
    atspi text Document $'buildTime = 2\r\nrace = 1' 23
    # What a key means, from the blank template: F1 in one, then the mouse
    # resting on another (the text's first line, just below the menu bar).
    xdotool key Home F1
    atspi object text Document 'Race which can build ship & starting race of ship'
    xdotool mousemove --window "$main" 40 40
    atspi object text Document 'Amount of time required to build ship'
    xdotool key --delay 100 alt+v h
    viewer=$(wait_window '^Hardpoint Preview\.$')
    focus_window "$viewer"
    focus_window "$viewer" # the closing menu may take the keyboard back
    atspi focused 'combo box' Drives
    xdotool key Tab
    atspi focused tree Folders
    xdotool key Tab Down
    atspi object image Picture hawk.bmp
}
# A file named on the command line, by any bytes, opens as File > Open
# opens it, or is reported; Alt with a letter that no menu takes types
# nothing; Return presses the focused push button; a 20 MB line opens
# read-only, refuses a letter and leaves the program answering, and Save As
# writes it back; a pasted line of 1 MB is refused and the program answers.
run_desktop() {
    "$binary" missing.odf &
    local app=$! main
    focus_window "$(wait_window '^Tessmark$')"
    xdotool key Return
    wait_window '^Tessmark 2\.0$' >/dev/null
    kill "$app"
    printf 'a = 1\r\n' >ship$'\xe9'.odf # a name that is not UTF-8
    "$binary" ship$'\xe9'.odf &
    main=$(wait_window '^ship.+\.odf$')
    focus_window "$main"
    xdotool key ctrl+End alt+z alt+n alt+q
    xdotool type b
    save_as "$main" keys.odf
    printf 'a = 1\r\nb' | cmp - keys.odf || fail "Alt with a free letter typed into the document"
    focus_window "$main"
    xdotool key ctrl+Tab Return # from the document to Clear
    save_as "$main" cleared.odf
    [ ! -s cleared.odf ] || fail "Return on the focused Clear button did not clear"
    python3 -c 'print(("unitName = \"Hawk\" " * 10**6)[:2 * 10**7], end="")' >long.odf
    "$binary" long.odf &
    main=$(wait_window '^long\.odf$')
    focus_window "$main"
    xdotool key End && xdotool type x
    save_as "$main" long-saved.odf
    cmp long.odf long-saved.odf || fail "the long line did not come back byte for byte"
    focus_window "$main"
    xdotool key ctrl+n && xdotool type keep
    python3 -c 'print("x" * 10**6, end="")' | xsel --clipboard --input
    xdotool key ctrl+v && xdotool type z
    save_as "$main" pasted.odf # within its generous wait: only a freeze misses it
    printf 'keepz' | cmp - pasted.odf || fail "a line of 1 MB was pasted, or the keys after it lost"
}
# Find, Replace and Go To on their keys, in a Windows-1252 file: the match
# found is what Ctrl+C copies, Replace All and its Undo are compared byte for
# byte, and the status line is read as a screen reader reads it.
run_search() {
    printf 'hp = 1\r\nHP = 2\r\nmaxhp = 3\r\nname = "caf\xe9"\r\n' >ship.odf
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$binary" ship.odf &
    local main
    main=$(wait_window '^ship\.odf$')
    focus_window "$main"
    xdotool key ctrl+f
    focus_window "$(wait_window '^Find$')"
    xdotool type --delay 20 maxHP
    xdotool key Return
    atspi object label '1 of 1' ''
    xdotool key Escape
    focus_window "$main"
    xsel --clipboard --clear
    xdotool key ctrl+c
    printf maxhp >expected
    retry copied || fail "Ctrl+C after Find did not copy the match"
    xdotool key ctrl+h
    focus_window "$(wait_window '^Replace$')"
    xdotool type --delay 20 hp
    xdotool key Tab && xdotool type --delay 20 hull
    xdotool key --delay 100 alt+w alt+a
    atspi object label '2 matches replaced.' ''
    xdotool key Escape
    save_as "$main" replaced.odf
    printf 'hull = 1\r\nhull = 2\r\nmaxhp = 3\r\nname = "caf\xe9"\r\n' |
        cmp - replaced.odf || fail "Replace All: $(od -c replaced.odf | head -5)"
    focus_window "$main"
    xdotool key ctrl+z
    save_as "$main" undone.odf
    cmp ship.odf undone.odf || fail "Undo did not give the file back: $(od -c undone.odf)"
    focus_window "$main"
    xdotool key ctrl+g
    focus_window "$(wait_window '^Go To Line$')"
    xdotool type 3 && xdotool key Return
    focus_window "$main"
    xdotool type X
    save_as "$main" line.odf
    grep -q '^Xmaxhp' line.odf || fail "Go To did not reach line 3: $(od -c line.odf)"
}
save_as() {
    focus_window "$1"
    xdotool key ctrl+s
    answer_dialog '^Save As\.\.\.$' "$work/$2"
    retry title_is "$1" "^$work/$2\$" || fail "the caption after saving $2"
}

"run_$scenario"
echo "e2e $scenario: passed"
