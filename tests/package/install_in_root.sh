#!/usr/bin/env bash
# Inside a minimal Debian root, as root: the .deb installed as a user installs it (apt pulls
# in what it depends on and nothing else is asked for), started by an ordinary user on a
# virtual display (launcher_e2e.sh, run as nobody), then removed. The removal must leave no
# file of the package and no record of it in dpkg.
#   install_in_root.sh DEB PROBE.exe [SCREENSHOT_DIR]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
deb=$(readlink -f "${1:?.deb}")
probe=${2:?probe.exe}
shots=${3:-}
fail() {
    echo "install_in_root: $*" >&2
    exit 1
}
export DEBIAN_FRONTEND=noninteractive
installed() { dpkg-query -W -f '${db:Status-Abbrev}\n' | grep -c '^ii'; }
before=$(installed)
apt-get update -qq || fail "apt-get update failed"
apt-get install -y -qq "$deb" >/dev/null || fail "apt cannot install $deb"
files=$(dpkg -L tarvo-dice) || fail "dpkg does not know tarvo-dice"
echo "installed, with $(($(installed) - before - 1)) packages it depends on"

# What the test drives the window with, not what the program needs.
apt-get install -y -qq xvfb xdotool imagemagick >/dev/null || fail "cannot install the test tools"
work=$(mktemp -d /tmp/tarvo-root.XXXXXX)
chmod 755 "$work"
cp "$probe" "$work/probe.exe"
[ -z "$shots" ] || install -d -o nobody "$shots"
TARVO_SHOT_DIR=$shots runuser -u nobody -- "$here/launcher_e2e.sh" /usr/bin/tarvo-dice \
    "$work/probe.exe"
rc=$?
rm -rf "$work"

apt-get remove -y -qq tarvo-dice >/dev/null || fail "apt cannot remove tarvo-dice"
# A package removed with no configuration files left is forgotten, or known as not-installed.
state=$(dpkg-query -W -f '${db:Status-Status}' tarvo-dice 2>/dev/null)
[ -z "$state" ] || [ "$state" = not-installed ] ||
    fail "dpkg keeps tarvo-dice as $state after its removal"
while read -r path; do
    [ -d "$path" ] && [ -n "$(ls -A "$path")" ] && continue # a folder shared with others
    [ ! -e "$path" ] || fail "the removal left $path"
done <<<"$files"
echo "removed; no file of the package is left"

exit "$rc"
