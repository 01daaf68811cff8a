#!/usr/bin/env bash
# The real program under Wine, used the way a person would: real mouse clicks and key presses
# into its window, results read back from its controls.
#   end_to_end.sh TarvoDice.exe probe.exe SESSION_DIR
# The session (Xvfb, prefix, wineserver) is started by scripts/wine-session beforehand.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=SCRIPTDIR/../../scripts/drive-lib.sh
. "$here/../../scripts/drive-lib.sh"

app=${1:?program}
probe=${2:?probe}
session=${3:?session folder}
log=$(mktemp /tmp/tarvo-e2e.XXXXXX)
shot=$(mktemp /tmp/tarvo-e2e-shot.XXXXXX)
trap 'drive_kill_app; rm -f "$log" "$shot" "$shot".*.png' EXIT

drive_init "$session" "$probe" || exit 1
drive_log "starting $app"
drive_start_app "$app" "$log"

# The window now, against the window once the results list is repainted whole.
expect_list_drawn_whole() { # SHOT_PREFIX
    drive_screenshot "$1.pressed.png" && drive_probe redraw "$ID_RESULTS_LIST" &&
        drive_screenshot "$1.repainted.png" || return 1
    [ "$(convert "$1.pressed.png" rgb:- | md5sum)" = "$(convert "$1.repainted.png" rgb:- | md5sum)" ] ||
        drive_fail "the results list after a press differs from the list repainted whole"
}

steps() {
    drive_wait_window 30000 || return 1
    [ "$WINDOW_W" -eq 320 ] && [ "$WINDOW_H" -eq 480 ] ||
        drive_fail "the window is ${WINDOW_W}x${WINDOW_H}, not 320x480" || return 1
    [ -n "$CLOSE_X" ] || drive_fail "the window has no close box" || return 1

    # Startup puts 1 into the roll count and 0 into the bonus.
    drive_expect_texts 10 "$ID_NUM_ROLLS" 1 "$ID_BONUS" 0 "$ID_NUM_DICE" "" "$ID_SIZE" "" || return 1

    # 3d6+2 rolled five times gives five totals from 5 to 20; the setup line shows the
    # name padded to 26 characters, then the dice.
    drive_sample_roll_and_save "Fireball" || return 1
    local expected
    expected=$(printf '%-26s  %s' "Fireball" "3d6+2")
    [ "${DRIVE_LINES[0]}" = "$expected" ] ||
        drive_fail "setup line is '${DRIVE_LINES[0]}', expected '$expected'" || return 1

    # A different roll: one total of 3d6+40 (43 to 58).
    drive_type_field "$ID_NUM_ROLLS" 1 && drive_type_field "$ID_BONUS" 40 &&
        drive_expect_texts 10 "$ID_NUM_ROLLS" 1 "$ID_BONUS" 40 || return 1
    drive_click_control "$ID_ROLL"
    drive_wait_list "$ID_RESULTS_LIST" 1 && drive_check_totals 43 58 || return 1
    drive_log "rolled 3d6+40 once: ${DRIVE_LINES[*]}"

    # Double-clicking the saved line loads it back into the fields and rolls it at once.
    local x y
    read -r x y _ _ <<<"$(drive_control_rect "$ID_SETUP_LIST")"
    drive_double_click_at $((x + 60)) $((y + 9))
    drive_wait_list "$ID_RESULTS_LIST" 5 && drive_check_totals 5 20 || return 1
    drive_log "loaded the setup and rolled: ${DRIVE_LINES[*]}"
    drive_expect_texts 10 "$ID_NAME" "Fireball" "$ID_NUM_DICE" 3 "$ID_SIZE" 6 "$ID_BONUS" 2 \
        "$ID_NUM_ROLLS" 5 "$ID_DROP_LOWEST" 0 || return 1

    # The fields scroll: digit strings far wider than the fields are typed and kept whole,
    # and the largest roll gives 64-bit totals. A quarter of the largest total is more than
    # any shorter dice count or face count could reach.
    # After a press that brings both scroll bars (from short lines that need neither), one
    # that takes one away (fewer lines than the list shows) and one that leaves them as they
    # were, the window looks as it does once the list is repainted whole.
    drive_type_field "$ID_NUM_DICE" 99999 && drive_type_field "$ID_SIZE" 2147483647 &&
        drive_type_field "$ID_BONUS" 0 && drive_type_field "$ID_NUM_ROLLS" 12 &&
        drive_expect_texts 10 "$ID_NUM_DICE" 99999 "$ID_SIZE" 2147483647 "$ID_BONUS" 0 \
            "$ID_NUM_ROLLS" 12 || return 1
    drive_click_control "$ID_ROLL"
    local largest=$((99999 * 2147483647))
    drive_wait_list "$ID_RESULTS_LIST" 12 && drive_check_totals $((largest / 4)) "$largest" &&
        expect_list_drawn_whole "$shot.both" || return 1
    drive_log "rolled 99999d2147483647 twelve times: ${DRIVE_LINES[*]}"
    drive_type_field "$ID_NUM_ROLLS" 3 && drive_click_control "$ID_ROLL" &&
        drive_wait_list "$ID_RESULTS_LIST" 3 && expect_list_drawn_whole "$shot.fewer" || return 1
    local before deadline=$((SECONDS + 15))
    before=$(drive_probe list "$ID_RESULTS_LIST")
    drive_click_control "$ID_ROLL"
    until [ "$(drive_probe list "$ID_RESULTS_LIST")" != "$before" ]; do
        [ $SECONDS -lt $deadline ] || drive_fail "a second press left the totals as they were" ||
            return 1
        sleep 0.1
    done
    expect_list_drawn_whole "$shot.again" || return 1

    drive_close_app || return 1
    [ "$DRIVE_APP_RC" -eq 0 ] || drive_fail "exit code $DRIVE_APP_RC, expected 0"
}

if steps; then
    drive_log "PASS"
    exit 0
fi
if [ -s "$log" ]; then
    echo "--- program output ---" >&2
    cat "$log" >&2
fi
exit 1
