#!/usr/bin/env bash
# Minimising and restoring the window 1,000 times leaks nothing and leaves the panel painted
# as before: the GDI object count and the memory grow by no more than a small constant, and
# every panel pixel that no control covers is the background image's or the label grey.
#   resources.sh TarvoDice.exe probe.exe SESSION_DIR [CYCLES]
# The cycles are posted WM_SYSCOMMAND messages (minimise, restore), each taken through the
# program's own loop like real input; real clicks would take ten times as long.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=SCRIPTDIR/../../scripts/drive-lib.sh
. "$here/../../scripts/drive-lib.sh"

app=${1:?program}
probe=${2:?probe}
session=$(cd "${3:?session folder}" && pwd) || exit 2
cycles=${4:-1000}
log=$(mktemp /tmp/tarvo-resources.XXXXXX)
shot=$(mktemp /tmp/tarvo-resources-shot.XXXXXX)
trap 'drive_kill_app; rm -f "$log" "$shot"' EXIT

MAX_GDI_GROWTH=8       # objects
MAX_MEMORY_GROWTH=1024 # KB of working set

# Checks the panel on screen until it passes (it is repainted at most 30 times a second) or
# 10 s have gone; INKED: how many label-grey pixels it shows.
check_panel() {
    local geometry="${CLIENT_W}x${CLIENT_H}+${CLIENT_X}+${CLIENT_Y}" out deadline=$((SECONDS + 10))
    xdotool mousemove $((WINDOW_X + WINDOW_W + 40)) $((WINDOW_Y + WINDOW_H / 2))
    while :; do
        import -window root -crop "$geometry" +repage -depth 8 "rgb:$shot" &&
            out=$(drive_probe panel "$app" "$shot") && break
        [ $SECONDS -lt $deadline ] || {
            drive_fail "the panel is not painted as it should be: $out"
            return 1
        }
        sleep 0.2
    done
    drive_log "$1: $(tail -n 1 <<<"$out")"
    INKED=$(awk '/^panel/ { print $5 }' <<<"$out")
}

steps() {
    drive_wait_window 30000 || return 1
    check_panel "before" || return 1
    local before=$INKED out
    drive_log "minimising and restoring $cycles times"
    out=$(drive_probe cycle "$cycles" $((cycles / 2))) || {
        drive_fail "the cycles did not complete: $out"
        return 1
    }
    # usage CYCLES gdi N user N gdi_table N workingset_kb N private_kb N
    local first last
    first=$(grep '^usage' <<<"$out" | head -n 1)
    last=$(grep '^usage' <<<"$out" | tail -n 1)
    while read -r _ n _ gdi _ user _ table _ memory _; do
        drive_log "after $n cycles: GetGuiResources GDI $gdi, USER $user (0: not reported);" \
            "GDI handle table $table objects; working set $memory KB"
    done <<<"$(grep '^usage' <<<"$out")"
    local gdi0 gdi1 mem0 mem1
    read -r _ _ _ _ _ _ _ gdi0 _ mem0 _ <<<"$first"
    read -r _ _ _ _ _ _ _ gdi1 _ mem1 _ <<<"$last"
    [ "$gdi0" -ge 0 ] && [ $((gdi1 - gdi0)) -gt $MAX_GDI_GROWTH ] &&
        drive_fail "GDI objects grew from $gdi0 to $gdi1" && return 1
    [ $((mem1 - mem0)) -gt $MAX_MEMORY_GROWTH ] &&
        drive_fail "the working set grew from $mem0 KB to $mem1 KB" && return 1
    check_panel "after" || return 1
    [ "$INKED" = "$before" ] ||
        drive_fail "the labels left $INKED grey pixels, $before before the cycles" || return 1
    drive_close_app || return 1
    [ "$DRIVE_APP_RC" -eq 0 ] || drive_fail "exit code $DRIVE_APP_RC, expected 0"
}

drive_init "$session" "$probe" || exit 1
drive_start_app "$app" "$log"
if steps; then
    drive_log "PASS"
    exit 0
fi
[ -s "$log" ] && { echo "--- program output ---" >&2; cat "$log" >&2; }
exit 1
