#!/usr/bin/env bash
# Installs, from Debian's archive, whatever the build and the tests need and
# this machine lacks. Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
    cmake g++ make pkg-config
    qt6-base-dev libgl-dev qt6-image-formats-plugins libqscintilla2-qt6-dev
    libbenchmark-dev
    fonts-dejavu-core
    xvfb xauth xdotool x11-utils xsel imagemagick procps openbox
    at-spi2-core dbus python3-pyatspi
    clang-14 libclang-rt-14-dev clang-tidy-14 appstream desktop-file-utils
    shared-mime-info libglib2.0-bin xdg-utils
    dpkg-dev lintian
)
# The commands the scripts and tests call, by the names they call them.
commands=(
    cmake c++ make clang++-14 clang-tidy-14
    Xvfb xdotool xdpyinfo xwininfo xprop xsel convert import pkill openbox
    dbus-run-session python3 appstreamcli desktop-file-validate
    update-mime-database gio xdg-mime
    cpack dpkg-shlibdeps dpkg-deb lintian gzip
)

check_commands() {
    local lacking=()
    for c in "${commands[@]}"; do
        command -v "$c" >/dev/null || lacking+=("$c")
    done
    if [ ${#lacking[@]} -gt 0 ]; then
        echo "missing commands after set-up: ${lacking[*]}" >&2
        exit 1
    fi
}

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -eq 0 ]; then
    check_commands
    exit 0
fi

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
check_commands
