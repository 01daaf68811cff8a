#!/usr/bin/env bash
# The installed launcher as a new user meets it, on a virtual display with a fresh home: the
# first start sets the prefix up and says so; a setup is saved through real input and read
# back from the window; the close box ends it with exit code 0; a second start (with
# arguments, which go nowhere) reuses the prefix; with no display it says so in one line.
# Nothing is left in the home but the prefix.
#   launcher_e2e.sh LAUNCHER PROBE.exe
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=SCRIPTDIR/../../scripts/drive-lib.sh
. "$here/../../scripts/drive-lib.sh"
launcher=${1:?launcher}
probe=${2:?probe}
work=$(mktemp -d /tmp/tarvo-launcher.XXXXXX)
export HOME="$work/home"
unset XDG_DATA_HOME
prefix="$HOME/.local/share/tarvo-dice/wine"
# drive-lib's session: the display, and the launcher's prefix for the probe.
session="$work/session"
trap 'drive_kill_app; "$drive_scripts/wine-session" stop "$session"; rm -rf "$work"' EXIT

# start LOG ARGS...: the launcher in the background; it becomes the program (exec), so its
# process id and exit code are the program's. Waits until it is the program.
start() {
    local log=$1 started=$SECONDS
    shift
    "$launcher" "$@" </dev/null >"$log" 2>&1 &
    DRIVE_APP_PID=$!
    until grep -qF TarvoDice.exe "/proc/$DRIVE_APP_PID/cmdline" 2>/dev/null; do
        drive_app_running && [ $((SECONDS - started)) -lt 300 ] ||
            drive_fail "the launcher did not start the program: $(cat "$log")" || return 1
        sleep 0.2
    done
    drive_log "the program runs, $((SECONDS - started)) s after the launcher started"
}

# use NAME: saves a setup through the window, reads the setups list back, closes the window.
use() {
    drive_wait_window 60000 && drive_sample_roll_and_save "$1" || return 1
    local lines
    lines=$(drive_probe list "$ID_SETUP_LIST") || return 1
    [[ $lines == "$1 "*3d6+2 ]] || drive_fail "the setups list holds [$lines]" || return 1
    # TARVO_SHOT_DIR: a screenshot of each start, to look at.
    [ -z "${TARVO_SHOT_DIR:-}" ] || drive_screenshot "$TARVO_SHOT_DIR/$1.png" || return 1
    drive_close_app || return 1
    [ "$DRIVE_APP_RC" -eq 0 ] || drive_fail "exit code $DRIVE_APP_RC, expected 0"
}

steps() {
    local out rc
    out=$(env -u DISPLAY "$launcher" 2>&1)
    rc=$?
    [ $rc -ne 0 ] && [ "$(wc -l <<<"$out")" -eq 1 ] ||
        drive_fail "with no display: exit code $rc, output [$out]" || return 1
    drive_log "with no display: $out"

    "$drive_scripts/wine-session" display "$session" || return 1
    ln -s "$prefix" "$session/prefix"
    drive_init "$session" "$probe" || return 1
    # Xvfb has no window manager to draw captions, so Wine is told to draw them itself, in a
    # registry file the first start finds (Wine keeps what it holds). Not a virtual desktop:
    # made the default before the prefix exists, one wineboot in two under Wine 10 dies of an
    # X error (BadWindow in X_CreateWindow).
    mkdir -p "$prefix"
    printf '%s\n' 'WINE REGISTRY Version 2' '[Software\\Wine\\X11 Driver]' '"Decorated"="N"' \
        >"$prefix/user.reg"

    start "$work/first.log" && use Fireball || return 1
    grep -qi 'first start' "$work/first.log" ||
        drive_fail "no note on the first start: $(cat "$work/first.log")" || return 1
    local made
    made=$(stat -c %i "$prefix/drive_c")
    start "$work/second.log" --some-argument other && use Lightning || return 1
    [ ! -s "$work/second.log" ] && [ "$(stat -c %i "$prefix/drive_c")" = "$made" ] ||
        drive_fail "the second start did not reuse the prefix: $(cat "$work/second.log")" ||
        return 1

    "$drive_scripts/wine-session" stop "$session"
    out=$(cd "$HOME" && find . -path ./.local/share/tarvo-dice/wine -prune -o -print | sort)
    [ "$out" = $'.\n./.local\n./.local/share\n./.local/share/tarvo-dice' ] ||
        drive_fail "the home holds more than the prefix: $out"
}

if steps; then
    drive_log "PASS"
    exit 0
fi
for log in "$work"/*.log; do
    [ -s "$log" ] && { echo "--- $log ---" && cat "$log"; } >&2
done
exit 1
