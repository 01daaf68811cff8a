#!/usr/bin/env bash
# Builds Tarvo Dice for Windows and runs it under Wine.
#   scripts/run.sh [SCREENSHOT.png]
# With a reachable X display ($DISPLAY) the program opens there, in a Wine prefix of its own
# (~/.cache/tarvo-dice/wine, one for every clone), and this script returns the program's exit
# code when you close it. That prefix differs from the test session's in one setting: the
# tests make Wine's virtual desktop the default, which a bare Xvfb with no window manager
# needs for captions, but which on your display would put the program inside a 640 x 600
# "Wine desktop" window.
# With no display (a server, CI) it starts the test session (scripts/wine-session, in
# build/windows/wine-session, so no second prefix is made), makes one sample roll (3d6+2,
# five times) and saves one setup through the real window with real input, saves a
# screenshot of the window (default build/screenshot.png), closes the program with its close
# box, stops the session and returns the program's exit code. Do not run it while the Windows
# tests of the same build run: both use that session.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=SCRIPTDIR/wine-env.sh
. "$root/scripts/wine-env.sh"

build() { # targets...
    (cd "$root" && cmake --preset windows >/dev/null &&
        cmake --build --preset windows --target "$@")
}

# A prefix of our own for the user's display: no virtual desktop, the user's window manager
# draws the frame.
run_on_display() {
    export WINEPREFIX="${XDG_CACHE_HOME:-$HOME/.cache}/tarvo-dice/wine"
    wine_prefix_create || return 1
    "$WINE64" "$app"
}

# No display: a private session, one sample roll and a screenshot.
run_headless() {
    local shot=$1
    # Globals, so that the exit trap still sees them.
    session="$root/build/windows/wine-session"
    # shellcheck source=SCRIPTDIR/drive-lib.sh
    . "$root/scripts/drive-lib.sh"
    log=$(mktemp /tmp/tarvo-run.XXXXXX)
    trap 'drive_kill_app; "$root/scripts/wine-session" stop "$session"; rm -f "$log"' EXIT
    drive_log "starting a Wine session in $session"
    "$root/scripts/wine-session" start "$session" || return 1
    drive_init "$session" "$probe" || return 1
    drive_log "starting the program on the virtual display $DISPLAY"
    drive_start_app "$app" "$log"
    if ! { drive_wait_window 30000 && drive_sample_roll_and_save "Fireball" &&
        mkdir -p "$(dirname "$shot")" && drive_screenshot "$shot"; }; then
        [ -s "$log" ] && cat "$log" >&2
        return 1
    fi
    drive_log "screenshot saved to $shot"
    drive_close_app || return 1
    return "$DRIVE_APP_RC"
}

"$root/scripts/install-deps.sh" || exit 1
app="$root/build/windows/app/TarvoDice.exe"
probe="$root/build/windows/tests/e2e/probe.exe"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    build TarvoDice font_check || exit 1
    run_on_display
else
    build TarvoDice font_check e2e_probe || exit 1
    shot=${1:-$root/build/screenshot.png}
    case "$shot" in /*) ;; *) shot="$PWD/$shot" ;; esac
    run_headless "$shot"
fi
rc=$?
echo "run: Tarvo Dice exited with code $rc" >&2
exit $rc
