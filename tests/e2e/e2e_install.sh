#!/usr/bin/env bash
# Installs the build into a staging folder, checks that each installed file is
# where desktops look for it, then starts the installed program in a real X
# server: it must show its main window, under the window class that the
# desktop entry names.
# Usage: e2e_install.sh path/to/tessmark (the build folder is the binary's)
set -euo pipefail
binary=$(realpath "$1")
build=$(dirname "$binary")
here=$(dirname "$(realpath "$0")")
source "$here/x11.sh"

work=$(mktemp -d)
trap 'stop_x; rm -rf "$work"' EXIT
stage="$work/stage"

cmake --install "$build" --prefix "$stage" >"$work/install.log" ||
    { cat "$work/install.log" >&2; fail "cmake --install failed"; }
for file in bin/tessmark share/applications/tessmark.desktop \
    share/metainfo/tessmark.metainfo.xml share/icons/hicolor/48x48/apps/tessmark.png; do
    [ -s "$stage/$file" ] || fail "not installed: $file"
done
[ -x "$stage/bin/tessmark" ] || fail "the installed program is not executable"
desktop="$stage/share/applications/tessmark.desktop"
grep -qx 'Exec=tessmark %f' "$desktop" || fail "the desktop entry does not start tessmark"
grep -qx 'Icon=tessmark' "$desktop" || fail "the desktop entry names another icon"

start_x
cd "$work"
# Nothing of the build tree on the way: the installed program alone.
env -u LD_LIBRARY_PATH PATH="$stage/bin:/usr/bin:/bin" tessmark &
app=$!
main=$(wait_window "^Tessmark 2.0$")
xwininfo -id "$main" | grep -q 'Map State: IsViewable' || fail "the main window is not shown"
class=$(xprop -id "$main" WM_CLASS)
wmclass=$(sed -n 's/^StartupWMClass=//p' "$desktop")
[[ "$class" == *"\"$wmclass\""* ]] || fail "window class $class, the desktop entry says $wmclass"
echo "window class: $class"
kill "$app"
wait_exit "$app"
echo "e2e_install: passed"
