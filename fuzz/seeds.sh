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

# An input is the file's length in two bytes, the file, then the steps:
# an operation (0 Type, 1 Delete, 2 Backspace, 3 Paste, 4 Clear, 5-8 Insert,
# 9 Undo, 10 Redo, 11 Select All and Delete, 12 New), for the first four a
# caret byte (even: Right presses times two; odd: Left presses from the end)
# and a selection byte, and for Type and Paste a length and the characters'
# indices (Type: 10 is Return; Paste: 0-2 are CR LF, LF and CR). See
# fuzz/fidelity.h.
fidelity_seed() {
    local length
    length=$(printf "$2" | wc -c)
    printf "\\$(printf %03o "$length")\\000$2$3" >"$out/$1"
}

fidelity_seeds() {
    fidelity_seed return-undo 'a = 1\r\nb = 2\nc\r\n' '\000\006\000\000\012\011\012'
    fidelity_seed paste-breaks 'x\ny\n' '\003\001\000\002\000\001\002\011'
    fidelity_seed commands 'k = v\r\n' '\004\011\005\006\007\010\013\011\014\011'
    fidelity_seed delete 'one\ntwo\rthree\r\n' '\001\006\000\002\011\000\001\023\011\011'
    fidelity_seed utf8-bom '\357\273\277\303\251\r\n' '\000\001\000\001\010\012\011'
    fidelity_seed empty '' '\000\000\000\000\003\007\012\004\000\003\000\000\001\013'
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
