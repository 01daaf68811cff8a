# shellcheck shell=bash disable=SC2034 # the control ids are for the scripts that source this
# Sourced by tests/e2e/end_to_end.sh and scripts/run.sh: drives the dice roller's real window
# inside a Wine session (scripts/wine-session) with real X input from xdotool, and reads its
# controls back with the probe helper (tests/e2e/probe.cpp).
#
# Every wait polls for the expected state with a deadline; nothing relies on a fixed sleep.
# Coordinates are client coordinates of the main window.

drive_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
drive_started=$EPOCHREALTIME

# Control ids, as the program numbers them: ID_ROLL, ID_NUM_DICE and the rest, read from its
# own table (setups/control_ids.h).
while read -r drive_id_name drive_id_value; do
    printf -v "$drive_id_name" '%s' "$drive_id_value"
done < <(sed -n 's/^ *\(ID_[A-Z_]*\) = \([0-9][0-9]*\),.*$/\1 \2/p' \
    "$drive_scripts/../setups/control_ids.h")

# x y width height of a control in the client area, as the running window placed it
# (drive_wait_window reads them).
declare -A DRIVE_RECT
drive_control_rect() { # ID
    [ -n "${DRIVE_RECT[$1]:-}" ] || {
        echo "drive: no control with id $1" >&2
        return 1
    }
    echo "${DRIVE_RECT[$1]}"
}

drive_log() {
    awk -v now="$EPOCHREALTIME" -v start="$drive_started" -v text="$*" \
        'BEGIN { printf "[%6.2fs] %s\n", now - start, text }' >&2
}

drive_fail() {
    drive_log "FAIL: $*"
    return 1
}

# drive_init SESSION_DIR PROBE_EXE: uses the session's display for all X input.
drive_init() {
    DRIVE_SESSION=$1
    DRIVE_PROBE=$2
    DISPLAY=$(cat "$DRIVE_SESSION/display") || return 1
    export DISPLAY
    DRIVE_APP_PID=
}

# Runs the probe under Wine; its output without the carriage returns Wine adds.
drive_probe() {
    TARVO_WINE_TIMEOUT=60 "$drive_scripts/wine-exec" "$DRIVE_SESSION" "$DRIVE_PROBE" "$@" |
        tr -d '\r'
    return "${PIPESTATUS[0]}"
}

# drive_start_app EXE LOGFILE: starts the program in the background; DRIVE_APP_PID is kept
# so that its exit code can be collected.
drive_start_app() {
    TARVO_WINE_TIMEOUT=${DRIVE_APP_TIMEOUT:-240} \
        "$drive_scripts/wine-exec" "$DRIVE_SESSION" "$1" </dev/null >"$2" 2>&1 &
    DRIVE_APP_PID=$!
}

drive_app_running() {
    [ -n "$DRIVE_APP_PID" ] && kill -0 "$DRIVE_APP_PID" 2>/dev/null
}

# Waits for the main window and reads its geometry into screen (X root) coordinates:
# CLIENT_X/Y/W/H, WINDOW_X/Y/W/H and CLOSE_X/Y (the caption's close box).
drive_wait_window() {
    local out
    out=$(drive_probe wait-window "${1:-30000}") || {
        drive_fail "the main window did not appear"
        return 1
    }
    # The Windows screen is Wine's virtual desktop; find where it sits on the X screen.
    local dx=0 dy=0 desktop
    desktop=$(xdotool search --limit 1 --name ' - Wine desktop$' 2>/dev/null | head -n 1)
    if [ -n "$desktop" ]; then
        eval "$(xdotool getwindowgeometry --shell "$desktop" | grep -E '^[XY]=')"
        dx=$X dy=$Y
    fi
    local tag a b c d e
    CLOSE_X='' CLOSE_Y=''
    while read -r tag a b c d; do
        case "$tag" in
        client) CLIENT_X=$((a + dx)) CLIENT_Y=$((b + dy)) CLIENT_W=$c CLIENT_H=$d ;;
        window) WINDOW_X=$((a + dx)) WINDOW_Y=$((b + dy)) WINDOW_W=$((c - a)) WINDOW_H=$((d - b)) ;;
        close) CLOSE_X=$((a + dx)) CLOSE_Y=$((b + dy)) ;;
        esac
    done <<<"$out"
    drive_log "window ${WINDOW_W}x${WINDOW_H} at $WINDOW_X,$WINDOW_Y;" \
        "client ${CLIENT_W}x${CLIENT_H} at $CLIENT_X,$CLIENT_Y; close box at ${CLOSE_X:-?},${CLOSE_Y:-?}"
    out=$(drive_probe rects) || {
        drive_fail "the controls' places could not be read"
        return 1
    }
    DRIVE_RECT=()
    while read -r tag a b c d e; do
        [ "$tag" = rect ] && DRIVE_RECT[$a]="$b $c $d $e"
    done <<<"$out"
}

# Mouse input at client coordinates. No --sync on the move: it waits for a pointer motion,
# and over a Wine window one to where the pointer already is blocks for 15 s. The X server
# handles the move and the click in order anyway.
drive_click_at() {
    xdotool mousemove $((CLIENT_X + $1)) $((CLIENT_Y + $2)) click 1
}

drive_double_click_at() {
    xdotool mousemove $((CLIENT_X + $1)) $((CLIENT_Y + $2)) click --repeat 2 --delay 80 1
}

drive_click_control() {
    local x y w h
    read -r x y w h <<<"$(drive_control_rect "$1")" || return 1
    drive_click_at $((x + w / 2)) $((y + h / 2))
}

# drive_type_field ID TEXT: clicks into the field, selects all of its text with End and
# Shift+Home, deletes it with BackSpace, and types the text key by key.
drive_type_field() {
    drive_click_control "$1" || return 1
    xdotool key End shift+Home BackSpace
    [ -z "$2" ] || xdotool type --delay 40 "$2"
}

# drive_expect_texts SECONDS ID TEXT [ID TEXT...]: waits until each control shows its text.
drive_expect_texts() {
    local seconds=$1
    shift
    local ids=() want="" got
    while [ $# -ge 2 ]; do
        ids+=("$1")
        want+="$2"$'\n'
        shift 2
    done
    local deadline=$((SECONDS + seconds))
    while :; do
        # The dot keeps the trailing empty lines that command substitution would drop.
        got=$(drive_probe text "${ids[@]}" && echo .)
        got=${got%.}
        [ "$got" = "$want" ] && return 0
        if [ $SECONDS -ge $deadline ]; then
            drive_fail "controls ${ids[*]} show [$(echo -n "$got" | tr '\n' '|')]," \
                "expected [$(echo -n "$want" | tr '\n' '|')]"
            return 1
        fi
        sleep 0.2
    done
}

# drive_wait_list ID COUNT [SECONDS]: waits until the list holds COUNT lines; the lines are
# left in DRIVE_LINES.
drive_wait_list() {
    local out rc
    out=$(drive_probe wait-list "$1" "$2" $((${3:-15} * 1000)))
    rc=$?
    mapfile -t DRIVE_LINES <<<"$out"
    [ -n "$out" ] || DRIVE_LINES=()
    [ $rc -eq 0 ] || drive_fail "list $1 holds ${#DRIVE_LINES[@]} lines, expected $2"
}

# drive_check_totals MIN MAX: every line of DRIVE_LINES is a whole number in MIN..MAX.
drive_check_totals() {
    local line
    for line in "${DRIVE_LINES[@]}"; do
        if ! [[ "$line" =~ ^-?[0-9]+$ ]] || [ "$line" -lt "$1" ] || [ "$line" -gt "$2" ]; then
            drive_fail "total '$line' is not within $1..$2 (all: ${DRIVE_LINES[*]})"
            return 1
        fi
    done
}

# One roll of 3d6+2, five times, through the fields and the roll button; then saves it as a
# setup called NAME. Leaves the five totals in DRIVE_TOTALS.
drive_sample_roll_and_save() {
    local name=$1
    drive_type_field "$ID_NUM_DICE" 3 &&
        drive_type_field "$ID_SIZE" 6 &&
        drive_type_field "$ID_BONUS" 2 &&
        drive_type_field "$ID_NUM_ROLLS" 5 &&
        drive_expect_texts 10 "$ID_NUM_DICE" 3 "$ID_SIZE" 6 "$ID_BONUS" 2 "$ID_NUM_ROLLS" 5 || return 1
    drive_click_control "$ID_ROLL"
    drive_wait_list "$ID_RESULTS_LIST" 5 || return 1
    drive_check_totals 5 20 || return 1
    DRIVE_TOTALS=("${DRIVE_LINES[@]}")
    drive_log "rolled 3d6+2 five times: ${DRIVE_TOTALS[*]}"
    drive_type_field "$ID_NAME" "$name" && drive_expect_texts 10 "$ID_NAME" "$name" || return 1
    drive_click_control "$ID_SAVE_SETUP"
    drive_wait_list "$ID_SETUP_LIST" 1 || return 1
    drive_log "saved setup: '${DRIVE_LINES[0]}'"
}

# drive_wait_exit SECONDS: waits for the program to end; its exit code goes to DRIVE_APP_RC.
drive_wait_exit() {
    local deadline=$((SECONDS + $1))
    while drive_app_running && [ $SECONDS -lt $deadline ]; do
        sleep 0.1
    done
    drive_app_running && return 1
    wait "$DRIVE_APP_PID"
    DRIVE_APP_RC=$?
    DRIVE_APP_PID=
    return 0
}

# Closes the program with the caption's close box (Alt+F4 if that did not end it) and
# collects its exit code in DRIVE_APP_RC.
drive_close_app() {
    if [ -n "$CLOSE_X" ]; then
        xdotool mousemove --sync "$CLOSE_X" "$CLOSE_Y" click 1
    else
        drive_log "no close box found; pressing Alt+F4"
        xdotool key alt+F4
    fi
    if ! drive_wait_exit 15; then
        drive_log "still running after the close click; pressing Alt+F4"
        drive_click_at $((CLIENT_W / 2)) -5
        xdotool key alt+F4
        drive_wait_exit 15 || {
            drive_fail "the program did not end"
            return 1
        }
    fi
    drive_log "program ended with exit code $DRIVE_APP_RC"
}

# Ends a program that is still running (after a failure), by its own process id.
drive_kill_app() {
    if drive_app_running; then
        kill "$DRIVE_APP_PID" 2>/dev/null
        wait "$DRIVE_APP_PID" 2>/dev/null
    fi
    DRIVE_APP_PID=
}

# drive_screenshot FILE: the window as it is on screen, once two captures in a row agree.
drive_screenshot() {
    local geometry="${WINDOW_W}x${WINDOW_H}+${WINDOW_X}+${WINDOW_Y}" previous="" current
    local deadline=$((SECONDS + 10))
    local x=$((WINDOW_X + WINDOW_W + 40)) y=$((WINDOW_Y + WINDOW_H / 2))
    # --sync waits for the pointer to move, some 15 s when it is there already.
    [ "$(xdotool getmouselocation --shell | head -n 2 | tr '\n' ' ')" = "X=$x Y=$y " ] ||
        xdotool mousemove --sync "$x" "$y"
    while :; do
        import -window root -crop "$geometry" +repage "$1" || return 1
        current=$(convert "$1" rgb:- | md5sum)
        [ "$current" = "$previous" ] && return 0
        [ $SECONDS -ge $deadline ] && return 0
        previous=$current
        sleep 0.2
    done
}
