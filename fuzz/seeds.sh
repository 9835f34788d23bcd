#!/usr/bin/env bash
# Writes a seed corpus for one fuzz target: small valid files of the kind the
# target reads, made here rather than taken from anywhere.
# Usage: fuzz/seeds.sh textfile DIR
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

case $kind in
textfile) text_seeds ;;
*)
    echo "unknown fuzz target: $kind" >&2
    exit 2
    ;;
esac
