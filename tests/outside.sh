#!/usr/bin/env bash
# What the system sees of the program outside its windows: --help and
# --version in a terminal without a display, and the type that the shared
# MIME database (as GIO reads it for a file manager) gives a unit file and an
# OpenDocument formula, which share the extension .odf.
# Usage: outside.sh path/to/tessmark resources/linux/tessmark.xml
set -euo pipefail
source "$(dirname "$0")/e2e/x11.sh" # for fail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

no_display=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
"${no_display[@]}" "$1" --help >help || fail "--help ended with status $?"
grep -q '^Usage: .*\[file\]' help || fail "--help printed: $(cat help)"
[ "$("${no_display[@]}" "$1" --version)" = "Tessmark 2.0" ] || fail "--version"

mkdir -p mime/packages
cp "$2" mime/packages/
XDG_DATA_HOME=$work update-mime-database mime
printf '// Hawk\r\n[GameObjectClass]\r\nbuildTime = 2.5\r\n' >unit.odf
printf 'caf\xe9 = 1\n' >cp1252.odf
printf 'PK\003\004\024\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\010\000\000\000mimetypeapplication/vnd.oasis.opendocument.formula' >formula.odf
for row in unit.odf:text/x-odf-unit cp1252.odf:text/x-odf-unit \
    formula.odf:application/vnd.oasis.opendocument.formula; do
    # GNOME's xdg-mime asks GIO, as its file manager does.
    type=$(XDG_DATA_HOME=$work XDG_CURRENT_DESKTOP=GNOME xdg-mime query filetype "${row%%:*}")
    [ "$type" = "${row#*:}" ] || fail "${row%%:*} is $type, not ${row#*:}"
done
echo "outside: passed"
