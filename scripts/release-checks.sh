#!/usr/bin/env bash
# Checks what a release ships beside the program: the AppStream metainfo and
# the desktop entry must validate, and clang-tidy (.clang-tidy) must find
# nothing in the sources. The sources are those of the compilation databases
# of the given build folders; a file in several is checked with the first.
# Usage: scripts/release-checks.sh BUILD [BUILD...]
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -gt 0 ] || { echo "usage: $0 BUILD [BUILD...]" >&2; exit 2; }
jobs=$(nproc)
root=$(pwd)
tidy=clang-tidy-14
for tool in appstreamcli desktop-file-validate "$tidy"; do
    command -v "$tool" >/dev/null || { echo "missing tool: $tool (scripts/setup.sh installs it)" >&2; exit 2; }
done

echo "== appstreamcli validate"
# The component id is not a reverse domain name: the project has no domain
# of its own to name it by yet. Everything else must pass.
appstreamcli validate --no-net --override=cid-desktopapp-is-not-rdns=info \
    resources/linux/tessmark.metainfo.xml

echo "== desktop-file-validate"
# It returns success on warnings and hints; any remark fails here.
remarks=$(desktop-file-validate resources/linux/tessmark.desktop 2>&1) || true
if [ -n "$remarks" ]; then
    echo "$remarks" >&2
    exit 1
fi
echo "resources/linux/tessmark.desktop: valid"

echo "== layers"
# Each folder may include only itself and the folders it builds on.
declare -A below=(
    [platform/forms]=""
    [platform/text]='platform/forms'
    [platform/files]='platform/forms'
    [odf]='platform/text platform/forms'
    [editor]='companions odf platform/text platform/files platform/forms'
    [companions]='editor odf platform/text platform/files platform/forms'
)
layered=0
for folder in "${!below[@]}"; do
    allowed="$folder ${below[$folder]}"
    while IFS= read -r line; do
        target=$(sed -E 's/.*#include "([^"]*)\/[^/"]*".*/\1/' <<<"${line#*:}")
        [[ " $allowed " == *" $target "* ]] && continue
        echo "$line: $folder may not include $target" >&2
        layered=1
    done < <(grep -rHn '#include "[^"]*/' "$folder" || true)
done
[ $layered -eq 0 ] || exit 1
echo "every include stays in its layer or below"

echo "== clang-tidy"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
seen=$work/seen
touch "$seen"
status=0
n=0
for build in "$@"; do
    [ -f "$build/compile_commands.json" ] || { echo "no $build/compile_commands.json" >&2; exit 2; }
    # A unity build's database names its unity files: each source gets the
    # command of the unity file that holds it.
    db=$work/$((n += 1))
    python3 scripts/per-file-db.py "$build" "$db"
    # The project's own sources only, not what the build generates.
    generated="$(realpath "$build")/"
    files=$(sed -n 's/^ *"file": "\(.*\)",\{0,1\}$/\1/p' "$db/compile_commands.json" |
        grep -F "$root/" | grep -vF "$generated" | sort -u | grep -vxFf "$seen" || true)
    [ -n "$files" ] || continue
    echo "$files" >>"$seen"
    echo "$(echo "$files" | wc -l) files with $build/compile_commands.json"
    # Findings go to standard output; of standard error only the counts of
    # warnings in system headers ("N warnings generated.") are left out.
    echo "$files" | xargs -P "$jobs" -n 1 "$tidy" -p "$db" --quiet \
        2> >(grep -vE '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$' >&2) ||
        status=1
done
[ $status -eq 0 ] || { echo "clang-tidy found problems" >&2; exit 1; }
echo "clang-tidy: clean"
