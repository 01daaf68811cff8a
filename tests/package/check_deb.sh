#!/usr/bin/env bash
# Builds the .deb and checks it with Debian's tools: its control fields; that each file it
# holds is one the project made (the built .exe files, the prefix set-up byte for byte as in
# scripts/, icons the size their folder says, a valid menu entry whose command has a manual
# page and whose icon comes at every size of the program's own); no lintian error. Then runs
# the unpacked launcher as a new user would (launcher_e2e.sh).
#   check_deb.sh BUILD_DIR      (the Windows build tree)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../.." && pwd)
build=${1:?Windows build tree}
fail() {
    echo "check_deb: $*" >&2
    exit 1
}

rm -f "$build"/tarvo-dice_*.deb
cmake --build "$build" --target package-deb >/dev/null || fail "the package-deb target failed"
deb=$(echo "$build"/tarvo-dice_*_amd64.deb)
work=$(mktemp -d /tmp/tarvo-deb.XXXXXX)
trap 'rm -rf "$work"' EXIT
root="$work/root"
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb cannot unpack $deb"
echo "$deb:"
dpkg-deb -f "$deb"

field() { dpkg-deb -f "$deb" "$1"; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
{ [ "$(field Package)" = tarvo-dice ] && [ "$(field Architecture)" = amd64 ] &&
    [[ $(field Version) == "$version"-* ]]; } || fail "control fields do not match the build"
for name in $(field Depends | sed 's/([^)]*)//g' | tr ',|' '  '); do
    apt-cache show "$name" >/dev/null 2>&1 || fail "dependency $name: no such package here"
done

png_size() { # width and height from the PNG header
    od -An -tu1 -j16 -N8 "$1" | awk '{ print $1 * 2^24 + $2 * 2^16 + $3 * 2^8 + $4 "x" \
        $5 * 2^24 + $6 * 2^16 + $7 * 2^8 + $8 }'
}
while read -r path; do
    case $path in
    usr/bin/*) [ -x "$root/$path" ] ;;
    usr/lib/tarvo-dice/TarvoDice.exe) cmp -s "$root/$path" "$build/app/TarvoDice.exe" ;;
    usr/lib/tarvo-dice/font_check.exe)
        cmp -s "$root/$path" "$build/scripts/font_check/font_check.exe" ;;
    usr/share/tarvo-dice/*) cmp -s "$root/$path" "$src/scripts/${path##*/}" ;;
    usr/share/icons/hicolor/*/apps/*.png) [[ $path == */$(png_size "$root/$path")/apps/* ]] ;;
    usr/share/applications/*.desktop) desktop-file-validate "$root/$path" ;;
    usr/share/man/man?/*.gz | usr/share/doc/tarvo-dice/*) true ;; # lintian reads them
    *) false ;;
    esac || fail "$path is not what the project made"
    echo "  /$path"
done < <(cd "$root" && find . -type f -printf '%P\n' | sort)

desktop=$(echo "$root"/usr/share/applications/*.desktop)
entry() { sed -n "s/^$1=//p" "$desktop"; }
command=$(entry Exec)
{ [ -x "$root/usr/bin/$command" ] && compgen -G "$root/usr/share/man/man?/$command.*.gz"; } >/dev/null ||
    fail "the menu's command $command is not in /usr/bin with a manual page"
[[ $(entry Categories) == *Game\;* ]] || fail "the menu entry is not in Game"
while read -r _ _ width height _; do
    size="${width#--width=}x${height#--height=}"
    [ -f "$root/usr/share/icons/hicolor/$size/apps/$(entry Icon).png" ] ||
        fail "no $size icon, which the program's own icon has"
done < <(icotool -l "$src/resources/app.ico")

echo "lintian:"
lintian --fail-on error "$deb" 2>&1 || fail "lintian reports errors"
echo
"$here/launcher_e2e.sh" "$root/usr/bin/$command" "$build/tests/e2e/probe.exe"
