#!/usr/bin/env bash
# The .deb on fresh Debian 12 and 13 roots (scripts/debian-root.sh: roots as debootstrap
# makes them, in $TARVO_ROOTS/fresh, each run in a throwaway layer): installed with apt,
# started by an ordinary user through real input, removed (install_in_root.sh). Needs root.
# Screenshots of each start are kept in BUILD_DIR/package-shots/SUITE.
#   roots.sh BUILD_DIR [SUITE...]      (the Windows build tree; default: bookworm trixie)
set -uo pipefail
src=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?Windows build tree}" && pwd)
shift
suites=("$@")
[ ${#suites[@]} -gt 0 ] || suites=(bookworm trixie)
cmake --build "$build" --target package-deb e2e_probe >/dev/null || {
    echo "roots: the package could not be built" >&2
    exit 1
}
deb=$(echo "$build"/tarvo-dice_*_amd64.deb)
status=0
for suite in "${suites[@]}"; do
    shots="$build/package-shots/$suite"
    rm -rf "$shots"
    echo "=== the package on a fresh $suite root ==="
    start=$SECONDS rc=0
    TARVO_ROOTS=${TARVO_ROOTS:-/var/cache/tarvo-dice}/fresh TARVO_ROOT_FRESH=1 \
        TARVO_ROOT_IMPORT="$deb $build/tests/e2e/probe.exe" TARVO_ROOT_EXPORT="$shots" \
        "$src/scripts/debian-root.sh" "$suite" tests/package/install_in_root.sh \
        "/import/${deb##*/}" /import/probe.exe /export || rc=$?
    [ $rc -eq 0 ] || status=1
    echo "=== $suite: exit $rc after $((SECONDS - start)) s; screenshots in $shots ==="
done
exit "$status"
