#!/usr/bin/env bash
# Writes a seed corpus for one fuzz target: small files of the kind the target
# reads, made here rather than taken from anywhere.
# Usage: fuzz/seeds.sh textfile|picture|fidelity DIR
set -euo pipefail
out=$2
mkdir -p "$out"
seed() { printf "$2" >"$out/$1"; }

case $1 in
textfile)
    seed crlf 'unitName = "Hawk"\r\nbuildTime = 12.5\r\n'
    seed mixed 'a\r\nb\nc\rd\r\n\n\r\r\ne'
    seed banner '#include "fvtank.odf"\r\n//*****************************************************'
    seed cp1252 'caf\351 \200 \240 \201\215\217\220\235\000\r\n'
    seed utf8 '\357\273\277caf\303\251 \342\200\250 \360\237\232\200\n'
    seed utf8-invalid '\303\251\342\202'
    seed every-byte "$(printf '\\%03o' $(seq 0 255))"
    ;;
picture)
    # An input's first byte picks the file's name (0 .bmp, 1 .gif, 2 .jpg).
    made=$(mktemp -d)
    trap 'rm -rf "$made"' EXIT
    convert -size 7x5 gradient:red-blue -strip "BMP3:$made/0-24bit.bmp"
    convert -size 9x4 pattern:checkerboard -strip -monochrome "BMP3:$made/0-1bit.bmp"
    convert -size 7x5 gradient:red-blue -strip -type Palette -compress RLE "BMP3:$made/0-rle8.bmp"
    convert -size 7x5 gradient:red-blue -strip "BMP:$made/0-v5.bmp"
    convert -size 7x5 gradient:red-blue -strip -interlace GIF "$made/1-interlaced.gif"
    convert -delay 10 -size 6x4 xc:red xc:blue -loop 0 "$made/1-animated.gif"
    convert -size 8x8 gradient:red-blue -strip -quality 80 "$made/2-baseline.jpg"
    convert -size 16x8 gradient:red-blue -strip -interlace JPEG "$made/2-progressive.jpg"
    for file in "$made"/*; do
        name=$(basename "$file")
        { printf "\\00${name:0:1}"; cat "$file"; } >"$out/$name"
    done
    ;;
fidelity)
    # The file's length in a byte, the file, then the script of steps that
    # fuzz/fidelity.h describes.
    fseed() { printf "\\$(printf %03o "$(printf "$2" | wc -c)")$2$3" >"$out/$1"; }
    fseed return-undo 'a = 1\r\nb = 2\nc\r\n' 't401\nut201\n'
    fseed paste-breaks 'x\ny\n' 'p903x\r\rup008\n\342\200\251'
    fseed commands 'k = v\r\n' 'cuis/#uurn'
    fseed delete 'one\ntwo\rthree\r\n' 'd60ud32ur'
    fseed cp1252 'caf\351 \200\r\n' 't902\200\351unt001Z'
    fseed replace 'a = 1\r\nA\351 = 2\na_a\r' 'a01a2x\303\251ue31a1xe31a1xu'
    ;;
*)
    echo "unknown fuzz target: $1" >&2
    exit 2
    ;;
esac
