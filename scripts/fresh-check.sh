#!/usr/bin/env bash
# Runs the README's test command in a clean Debian 12 root, to show that
# scripts/test.sh needs nothing that scripts/setup.sh does not install.
# Needs root, debootstrap and Debian's archive (the first archive this
# machine's apt sources name). Not part of CI: it takes a while.
#
# Usage: sudo scripts/fresh-check.sh [DIR]   (default /var/tmp/tessmark-fresh)
# The root is made anew each time and removed at the end unless KEEP=1.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "$(id -u)" -eq 0 ] || { echo "fresh-check needs root" >&2; exit 2; }
command -v debootstrap >/dev/null || { echo "fresh-check needs debootstrap" >&2; exit 2; }
root=${1:-/var/tmp/tessmark-fresh}
repo=$(pwd)

mirror=$(sed -n 's/^URIs: *\([^ ]*\).*/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null |
    grep -v security | head -n 1)
[ -n "$mirror" ] || mirror=$(awk '$1 == "deb" { print $2; exit }' /etc/apt/sources.list)

cleanup() {
    for m in sys dev/pts dev proc; do
        mountpoint -q "$root/$m" && umount -l "$root/$m"
    done
    [ "${KEEP:-0}" = 1 ] || rm -rf "$root"
}
trap cleanup EXIT

start=$(date +%s)
rm -rf "$root"
echo "== debootstrap bookworm into $root"
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.debootstrap.log" 2>&1 ||
    { tail -n 30 "$root.debootstrap.log" >&2; exit 1; }
mount -t proc proc "$root/proc"
mount --rbind /dev "$root/dev"
mount --rbind /sys "$root/sys"
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
# The same suites as this machine (updates and security fixes).
if ls /etc/apt/sources.list.d/*.sources >/dev/null 2>&1; then
    rm -f "$root/etc/apt/sources.list"
    cp /etc/apt/sources.list.d/*.sources "$root/etc/apt/sources.list.d/"
fi

# The committed tree only, as a clone would have it.
mkdir -p "$root/src/tessmark"
git -C "$repo" archive HEAD | tar -x -C "$root/src/tessmark"
echo "== scripts/test.sh in the fresh root"
chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
    TESSMARK_FUZZ_SECONDS="${TESSMARK_FUZZ_SECONDS:-60}" \
    bash -c 'cd /src/tessmark && scripts/test.sh'
echo "fresh-check passed in $(($(date +%s) - start)) s"
