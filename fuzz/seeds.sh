#!/usr/bin/env bash
# Writes a seed corpus for one fuzz target: small valid files of the kind the
# target reads, made here rather than taken from anywhere.
# Usage: fuzz/seeds.sh textfile|picture|fidelity DIR
set -euo pipefail
kind=$1
out=$2
mkdir -p "$out"

seed() { printf "$2" > "$out/$1"; }

text_seeds() {
    seed empty ''
    seed crlf 'unitName = "Hawk"\r\nbuildTime = 12.5\r\n'
    seed lf '// Weapons\nweaponHard1 = "HP_GUN_1"\n'
    seed cr 'a = 1\rb = 2\r'
    seed mixed 'a\r\nb\nc\rd\r\n\n\r\r\ne'
    seed no-final-break '[GameObjectClass]\r\nclassLabel = "wingman"'
    seed banner '//*****************************************************\r\n'
    seed include '#include "fvtank.odf"\r\n'
    seed tabs-blanks 'key =\t"a b"  \t\r\n   '
    seed nul 'a\000b\r\n\000'
    seed cp1252 'caf\351 \200 \240 \201\215\217\220\235\r\n'
    seed utf8 'caf\303\251 \342\200\250 \360\237\232\200\n'
    seed utf8-bom '\357\273\277name = "\303\251"\r\n'
    seed bom-twice '\357\273\277\357\273\277x'
    seed utf8-invalid '\303\251\342\202'
    # Every byte value once, in order.
    local all="" i
    for i in $(seq 0 255); do all+=$(printf '\\%03o' "$i"); done
    seed every-byte "$all"
}

# An input is the file's length in a byte, the file, then the script of
# steps that fuzz/fidelity.h describes.
fidelity_seed() { printf "\\$(printf %03o "$(printf "$2" | wc -c)")$2$3" >"$out/$1"; }

fidelity_seeds() {
    fidelity_seed return-undo 'a = 1\r\nb = 2\nc\r\n' 't401\nut201\n'
    fidelity_seed paste-breaks 'x\ny\n' 'p903x\r\rup008\n\342\200\251'
    fidelity_seed commands 'k = v\r\n' 'cuis/#uurn'
    fidelity_seed delete 'one\ntwo\rthree\r\n' 'd60ud32ur'
    fidelity_seed cp1252 'caf\351 \200\r\n' 't902\200\351unt001Z'
}

# Small pictures of each format and flavour the viewer reads, made with
# ImageMagick. An input's first byte picks the file's name (0 .bmp, 1 .gif,
# 2 .jpg); the rest is the file.
picture_seeds() {
    local made
    made=$(mktemp -d)
    convert -size 7x5 gradient:red-blue -strip "BMP3:$made/24bit.bmp"
    convert -size 7x5 gradient:red-blue -strip -type Palette -colors 16 "BMP3:$made/4bit.bmp"
    convert -size 9x4 pattern:checkerboard -strip -monochrome "BMP3:$made/1bit.bmp"
    convert -size 7x5 gradient:red-blue -strip -type Palette -compress RLE "BMP3:$made/rle8.bmp"
    convert -size 7x5 gradient:red-blue -strip "BMP:$made/v5.bmp"
    convert -size 7x5 gradient:red-blue -strip "$made/plain.gif"
    convert -size 7x5 gradient:red-blue -strip -interlace GIF "$made/interlaced.gif"
    convert -delay 10 -size 6x4 xc:red xc:blue -loop 0 "$made/animated.gif"
    convert -size 8x8 gradient:red-blue -strip -quality 80 "$made/baseline.jpg"
    convert -size 16x8 gradient:red-blue -strip -interlace JPEG "$made/progressive.jpg"
    convert -size 8x8 gradient: -strip -colorspace Gray "$made/grey.jpg"
    local file prefix
    for file in "$made"/*; do
        case $file in
        *.bmp) prefix='\000' ;;
        *.gif) prefix='\001' ;;
        *) prefix='\002' ;;
        esac
        { printf "$prefix"; cat "$file"; } >"$out/$(basename "$file")"
    done
    rm -rf "$made"
}

case $kind in
textfile) text_seeds ;;
picture) picture_seeds ;;
fidelity) fidelity_seeds ;;
*)
    echo "unknown fuzz target: $kind" >&2
    exit 2
    ;;
esac
