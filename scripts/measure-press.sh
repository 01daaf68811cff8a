#!/usr/bin/env bash
# Measures the roll press under Wine, against the same 100 evaluations in the engine alone,
# for two setups: 100 x 99999d2147483647 and 100 x 4d6 dropping the lowest.
# - Through the running program: from a real click on the roll button until the results list
#   holds the 100 new lines and has drawn them (bench/press_timer.cpp, from another process).
#   Beyond the command this holds the input's way into the program (its loop sleeps 1 ms when
#   idle) and the button's own handling of the click.
# - Inside the real main window: the command and the repaint it leaves for the message loop
#   (bench/press_bench.cpp).
#   scripts/measure-press.sh [PRESSES]      (default 10 presses per setup)
# TARVO_APP=path/to/TarvoDice.exe measures another build of the program (the helpers are
# always this tree's). TARVO_WINE_THEME=1 measures it with Wine's own theme switched on
# (scripts/wine-env.sh says why the sessions have it off). The program is started afresh
# for each setup, so the first press of each is a cold one. Timing figures are only as quiet
# as the machine: run it while nothing else is busy, or compare figures from the same run.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
presses=${1:-10}
# The Windows build with the benchmarks, beside the test build (as scripts/bench-wine.sh).
build="$root/build/windows-bench"
(cd "$root" && cmake --no-warn-unused-cli -S . -B "$build" -G Ninja --toolchain cmake/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DTARVO_BENCHMARKS=ON >/dev/null &&
    cmake --build "$build" --target TarvoDice e2e_probe font_check press_timer press_bench) >/dev/null || {
    echo "measure-press: build failed" >&2
    exit 1
}
app=${TARVO_APP:-$build/app/TarvoDice.exe}
timer="$build/bench/press_timer.exe"
# shellcheck source=SCRIPTDIR/drive-lib.sh
. "$root/scripts/drive-lib.sh"
session="$build/measure-session"
export TARVO_FONT_CHECK="$build/scripts/font_check/font_check.exe"
log=$(mktemp /tmp/tarvo-measure.XXXXXX)
trap 'drive_kill_app; "$root/scripts/wine-session" stop "$session"; rm -f "$log"' EXIT
"$root/scripts/wine-session" start "$session" || exit 1
drive_init "$session" "$build/tests/e2e/probe.exe" || exit 1

# measure COUNT FACES DROP: a fresh program, then the presses (the timer fills the fields).
measure() {
    drive_start_app "$app" "$log"
    drive_wait_window 30000 || return 1
    echo "=== 100 x ${1}d$2 drop $3, $presses presses ($app)"
    TARVO_WINE_TIMEOUT=600 "$root/scripts/wine-exec" "$session" "$timer" "$presses" "$1" "$2" "$3" |
        tr -d '\r'
    local rc=${PIPESTATUS[0]}
    drive_close_app || return 1
    return "$rc"
}

bench() { # COUNT FACES DROP
    TARVO_WINE_TIMEOUT=600 "$root/scripts/wine-exec" "$session" "$build/bench/press_bench.exe" \
        "$presses" "$1" "$2" "$3" | tr -d '\r'
    return "${PIPESTATUS[0]}"
}

measure 99999 2147483647 0 && measure 4 6 1 && bench 99999 2147483647 0 && bench 4 6 1
