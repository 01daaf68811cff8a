#!/usr/bin/env bash
# Every way a user closes the window ends the program with exit code 0: the caption's close
# box, Alt+F4, and Close in the system menu chosen with the mouse and with the keyboard;
# each once while the program is idle and once while it rolls 100 x 99,999 dice.
#   close_paths.sh TarvoDice.exe probe.exe SESSION_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=SCRIPTDIR/../../scripts/drive-lib.sh
. "$here/../../scripts/drive-lib.sh"

app=${1:?program}
probe=${2:?probe}
session=$(cd "${3:?session folder}" && pwd) || exit 2
log=$(mktemp /tmp/tarvo-close.XXXXXX)
shot=$(mktemp /tmp/tarvo-close-shot.XXXXXX)
stall=$(mktemp /tmp/tarvo-close-stall.XXXXXX)
trap 'drive_kill_app; rm -f "$log" "$shot" "$stall"' EXIT

# Screen coordinates of the caption's system-menu box, from the probe (Wine desktop
# coordinates) moved by where the desktop sits on the X screen.
system_menu_box() {
    local out a b x y
    out=$(drive_probe wait-window 1000) || return 1
    read -r _ a b _ <<<"$(grep '^window' <<<"$out")"
    read -r _ x y <<<"$(grep '^sysmenu' <<<"$out")"
    [ -n "$x" ] || return 1
    SYS_X=$((x + WINDOW_X - a)) SYS_Y=$((y + WINDOW_Y - b))
}

# Waits for the system menu; POPUP_* is its frame on the X screen.
wait_popup() {
    local out deadline=$((SECONDS + 30)) l t r b
    until out=$(drive_probe popup); do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.1
    done
    read -r _ l t r b <<<"$out"
    POPUP_L=$((l + DESK_DX)) POPUP_T=$((t + DESK_DY)) POPUP_R=$((r + DESK_DX)) POPUP_B=$((b + DESK_DY))
}

# Close is the item below the menu's first separator. Separators are the only rows drawn
# across the menu's whole width, so they are found in a column near its right edge, where
# no item's text reaches.
click_close_item() {
    local column=$((POPUP_R - 6)) rows first='' second='' row colour background
    import -window root -crop "1x$((POPUP_B - POPUP_T))+$column+$POPUP_T" +repage \
        -depth 8 txt:"$shot" || return 1
    background=$(awk 'NR == 4 { print $3 }' "$shot")
    rows=$(awk -v bg="$background" 'NR > 1 && $3 != bg { split($1, p, "[,:]"); print p[2] }' "$shot")
    for row in $rows; do
        if [ "$row" -le 3 ] || [ "$row" -ge $((POPUP_B - POPUP_T - 4)) ]; then continue; fi
        if [ -z "$first" ]; then
            first=$row
        elif [ "$row" -gt $((first + 4)) ] && [ -z "$second" ]; then
            second=$row
        fi
    done
    [ -n "$first" ] || { drive_fail "no separator in the system menu"; return 1; }
    second=${second:-$((POPUP_B - POPUP_T - 3))}
    colour=$(awk -v r="$first" 'NR > 1 { split($1, p, "[,:]"); if (p[2] == r) print $3 }' "$shot")
    drive_log "system menu separators at rows $first ($colour) and $second; clicking between"
    xdotool mousemove $((POPUP_L + 30)) $((POPUP_T + (first + second) / 2)) click 1
}

# The input that starts each way of closing, as xdotool commands, in FIRST; finish_close
# gives the rest once the system menu is open.
first_input() { # WAY
    case "$1" in
    close-box) FIRST=(mousemove "$CLOSE_X" "$CLOSE_Y" click 1) ;;
    alt-f4) FIRST=(key alt+F4) ;;
    menu-mouse) FIRST=(mousemove "$SYS_X" "$SYS_Y" click 1) ;;
    menu-keys) FIRST=(key alt+space) ;;
    esac
}

finish_close() { # WAY
    case "$1" in
    menu-mouse) wait_popup && click_close_item ;;
    # C is the mnemonic of the system menu's Close item.
    menu-keys) wait_popup && xdotool key c ;;
    esac
}

one_close() { # WAY BUSY
    drive_start_app "$app" "$log"
    drive_wait_window 30000 && system_menu_box || return 1
    local desktop_out a b
    desktop_out=$(drive_probe wait-window 1000)
    read -r _ a b _ <<<"$(grep '^window' <<<"$desktop_out")"
    DESK_DX=$((WINDOW_X - a)) DESK_DY=$((WINDOW_Y - b))
    # A click on the panel first, so that key input goes to the window, not to a field.
    local x y w h input=(mousemove $((CLIENT_X + 150)) $((CLIENT_Y + 440)) click 1)
    if [ "$2" = busy ]; then
        # The heaviest roll: 100 rolls of 99,999 dice with 99,999 faces, dropping half. The
        # close comes in the same burst of input as the press of the roll button, so it
        # waits in the queue while the roll runs.
        drive_type_field "$ID_NUM_DICE" 99999 && drive_type_field "$ID_SIZE" 99999 &&
            drive_type_field "$ID_DROP_LOWEST" 49999 && drive_type_field "$ID_NUM_ROLLS" 100 &&
            drive_expect_texts 10 "$ID_NUM_DICE" 99999 "$ID_SIZE" 99999 \
                "$ID_DROP_LOWEST" 49999 "$ID_NUM_ROLLS" 100 || return 1
        read -r x y w h <<<"$(drive_control_rect "$ID_ROLL")"
        input=(mousemove $((CLIENT_X + x + w / 2)) $((CLIENT_Y + y + h / 2)) click 1 "${input[@]}")
    fi
    first_input "$1"
    # How long the program stays busy once the input has come: the roll's length.
    drive_probe stall 60000 >"$stall" &
    local stall_pid=$! started=$EPOCHREALTIME
    sleep 0.3
    xdotool "${input[@]}" "${FIRST[@]}"
    finish_close "$1"
    drive_wait_exit 60 || { drive_fail "$1 ($2): the program did not end"; return 1; }
    wait "$stall_pid"
    [ "$DRIVE_APP_RC" -eq 0 ] || { drive_fail "$1 ($2): exit code $DRIVE_APP_RC"; return 1; }
    drive_log "$1 ($2): the program ended with exit code 0," \
        "$(awk -v a="$started" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f", b - a - 0.3 }') s" \
        "after the input; it answered no message for up to $(cut -d' ' -f2 "$stall") ms"
}

drive_init "$session" "$probe" || exit 1
failed=0
for way in close-box alt-f4 menu-mouse menu-keys; do
    for state in idle busy; do
        one_close "$way" "$state" || { failed=1 && drive_kill_app; }
    done
done
[ -s "$log" ] && [ $failed = 1 ] && { echo "--- program output ---" >&2; cat "$log" >&2; }
exit $failed
