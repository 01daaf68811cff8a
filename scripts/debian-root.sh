#!/usr/bin/env bash
# Runs a command on another Debian release: in a minimal root made once with debootstrap
# and entered with chroot, with a copy of this work tree at /src. Needs root.
#   scripts/debian-root.sh SUITE COMMAND [ARGS...]     (for example: trixie scripts/test.sh)
# The root lives in $TARVO_ROOTS/SUITE (default /var/cache/tarvo-dice/SUITE) and is kept, with
# its packages and build trees, so a second run is warm; with TARVO_ROOT_FRESH=1 the command
# runs in a throwaway layer over it instead (overlayfs), so the root stays as debootstrap
# made it. Whatever happens, the processes left in the root are ended, its mounts undone and
# the layer removed before this script exits.
set -euo pipefail
suite=${1:?suite, e.g. trixie}
shift
[ $# -gt 0 ] || { echo "usage: debian-root.sh SUITE COMMAND [ARGS...]" >&2; exit 2; }
src=$(cd "$(dirname "$0")/.." && pwd)
root=${TARVO_ROOTS:-/var/cache/tarvo-dice}/$suite
[ "$(id -u)" -eq 0 ] || { echo "debian-root: needs root (debootstrap, mount, chroot)" >&2; exit 2; }
command -v debootstrap >/dev/null || "$src/scripts/install-deps.sh" debootstrap

# Downloaded packages are kept apart from the root and shared by every root of the suite.
archives=${TARVO_APT_ARCHIVES:-/var/cache/tarvo-dice/apt}/$suite
mounts=(proc dev dev/pts dev/shm var/cache/apt/archives)
# shellcheck disable=SC2317 # run by the trap
cleanup() {
    local pid link m i found
    # Swept until none is left: Wine starts helpers while others are being ended.
    for _ in {1..20}; do
        found=0
        for pid in /proc/[0-9]*; do
            link=$(readlink "$pid/root" 2>/dev/null) || continue
            [ "$link" = "$root" ] && kill -9 "${pid#/proc/}" 2>/dev/null && found=1
        done
        [ "$found" -eq 0 ] && break
        sleep 0.1
    done
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        m="$root/${mounts[i]}"
        mountpoint -q "$m" && { umount "$m" 2>/dev/null || umount -l "$m"; }
    done
    if [ -n "$layer" ]; then
        mountpoint -q "$root" && { umount "$root" 2>/dev/null || umount -l "$root"; }
        rm -rf "$layer"
    fi
    return 0
}
layer=
trap cleanup EXIT INT TERM

if [ ! -f "$root/.made" ]; then
    echo "debian-root: making a minimal $suite root in $root"
    rm -rf "$root"
    mkdir -p "$root"
    debootstrap --variant=minbase "$suite" "$root" http://deb.debian.org/debian >"$root.log" 2>&1 ||
        { tail -n 20 "$root.log" >&2; exit 1; }
    # Packages installed in the root start no services.
    printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
    chmod +x "$root/usr/sbin/policy-rc.d"
    touch "$root/.made"
fi
if [ -n "${TARVO_ROOT_FRESH:-}" ]; then
    layer=$(mktemp -d "$root.layer.XXXXXX")
    mkdir "$layer/upper" "$layer/work" "$layer/root"
    mount -t overlay overlay -o "lowerdir=$root,upperdir=$layer/upper,workdir=$layer/work" \
        "$layer/root"
    root=$layer/root
fi
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mount -t tmpfs tmpfs "$root/dev/shm"
mkdir -p "$archives"
mount --bind "$archives" "$root/var/cache/apt/archives"

# The work tree as it stands (tracked and new files, not ignored ones); build trees in the
# root are kept.
mkdir -p "$root/src"
find "$root/src" -mindepth 1 -maxdepth 1 ! -name build -exec rm -rf {} +
(cd "$src" && git ls-files -z --cached --others --exclude-standard |
    tar --null -T - --ignore-failed-read -cf - 2>/dev/null) | tar -C "$root/src" -xf -
# TARVO_ROOT_IMPORT: files copied to /import in the root; TARVO_ROOT_EXPORT: a folder that
# receives what the command leaves in /export.
rm -rf "$root/import" "$root/export"
mkdir -p "$root/import" "$root/export"
for file in ${TARVO_ROOT_IMPORT:-}; do cp "$file" "$root/import/"; done
# In the background, so that a signal to this script runs the clean-up at once rather than
# after the command.
chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
    CI="${CI:-}" bash -c 'cd /src && exec "$@"' _ "$@" &
rc=0
wait $! || rc=$?
if [ -n "${TARVO_ROOT_EXPORT:-}" ]; then
    mkdir -p "$TARVO_ROOT_EXPORT" && cp -r "$root/export/." "$TARVO_ROOT_EXPORT/"
fi
exit "$rc"
