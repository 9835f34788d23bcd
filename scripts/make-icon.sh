#!/usr/bin/env bash
# Draws the program icon (48x48, 256 colours) with ImageMagick.
# Usage: scripts/make-icon.sh [output.png]
set -euo pipefail
out=${1:-"$(dirname "$0")/../resources/tessmark.png"}
convert -size 48x48 xc:none \
    -fill '#1d3557' -draw 'roundrectangle 1,1 46,46 8,8' \
    -fill '#f1faee' -draw 'polygon 11,6 31,6 38,13 38,42 11,42' \
    -fill '#a8dadc' -draw 'polygon 31,6 31,13 38,13' \
    -stroke '#457b9d' -strokewidth 2 \
    -draw 'line 15,17 33,17' -draw 'line 15,23 29,23' -draw 'line 15,29 33,29' \
    -stroke '#e63946' -strokewidth 2 -fill none \
    -draw 'circle 31,35 31,40' -draw 'line 31,28 31,42' -draw 'line 24,35 38,35' \
    -colors 256 PNG8:"$out"
# Windows takes the same picture, at its usual sizes, as an icon file.
convert "$out" -define icon:auto-resize=48,32,24,16 "$(dirname "$out")/windows/tessmark.ico"
