#!/usr/bin/env bash
# Model-based soak of the real program under Wine: random real clicks, keystrokes and pastes
# from a seeded generator, and after each action both lists, the setups selection, the
# keyboard focus and all six field texts compared with a model of what the program must do.
#   soak.sh TarvoDice.exe probe.exe SESSION_DIR ACTIONS [SEED]
# The same seed replays the same actions. On a divergence it stops and prints the seed, the
# action number, the last actions and the difference.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=SCRIPTDIR/../../scripts/drive-lib.sh
. "$here/../../scripts/drive-lib.sh"
export LC_ALL=C

app=${1:?program}
probe=${2:?probe}
session=$(cd "${3:?session folder}" && pwd) || exit 2
actions=${4:?number of actions}
seed=${5:-$((($(date +%s) * 7919 + $$) % 2147483647))}
log=$(mktemp /tmp/tarvo-soak.XXXXXX)
clip=$(mktemp /tmp/tarvo-soak-clip.XXXXXX)
answer=$(mktemp /tmp/tarvo-soak-answer.XXXXXX)
clip_pid=

FIELDS=("$ID_NAME" "$ID_NUM_DICE" "$ID_SIZE" "$ID_BONUS" "$ID_DROP_LOWEST" "$ID_NUM_ROLLS")
INT32_MAX=2147483647
NAME_MAX=2047     # the program reads at most this many characters of a field
MAX_SETUPS=20
MAX_RESULTS=100
MAX_DICE=99999

# --- seeded generator (a 31-bit linear congruential one: the same on every bash) ---------
rng=$seed
rand() { # N: R = a number in 0 .. N-1
    rng=$(((rng * 1103515245 + 12345) % 2147483648))
    R=$(((rng >> 8) % $1))
}

# --- the probe, kept running for the whole soak ---------------------------------------------
probe_start() {
    coproc PROBE {
        TARVO_WINE_TIMEOUT=86400 "$drive_scripts/wine-exec" "$session" "$probe" serve "$answer" 2>&1
    }
}

probe_ask() { # COMMAND...: the answer's lines in ANSWER
    ANSWER=()
    echo "$*" >&"${PROBE[1]}" || return 1
    local line
    if IFS= read -r -t 60 -u "${PROBE[0]}" line && [ "${line%$'\r'}" = . ]; then
        mapfile -t ANSWER <"$answer"
        ANSWER=("${ANSWER[@]%$'\r'}")
        return 0
    fi
    drive_fail "the probe did not answer '$*': $line"
    return 1
}

# Reads the window into GOT_* variables.
read_state() {
    probe_ask state "$ID_RESULTS_LIST" "$ID_SETUP_LIST" "${FIELDS[@]}" || return 1
    local i=2 tag id count sel top height x y w h
    GOT_FOCUS=${ANSWER[0]#focus } GOT_ICONIC=${ANSWER[1]#iconic }
    for id in "$ID_RESULTS_LIST" "$ID_SETUP_LIST"; do
        read -r tag _ count sel top height x y w h <<<"${ANSWER[i]}"
        [ "$tag" = list ] || return 1
        GOT_COUNT[id]=$count GOT_SEL[id]=$sel GOT_TOP[id]=$top GOT_ITEM_H[id]=$height
        GOT_LX[id]=$x GOT_LY[id]=$y GOT_LW[id]=$w GOT_LH[id]=$h
        if [ "$id" = "$ID_RESULTS_LIST" ]; then
            GOT_RESULTS=("${ANSWER[@]:i+1:count}")
        else
            GOT_SETUPS=("${ANSWER[@]:i+1:count}")
        fi
        i=$((i + 1 + count))
    done
    for id in "${FIELDS[@]}"; do
        read -r tag _ count <<<"${ANSWER[i]}"
        [ "$tag" = text ] || return 1
        GOT_LIMIT[id]=$count
        GOT_TEXT[id]=${ANSWER[i + 1]}
        i=$((i + 2))
    done
}

# --- the model ------------------------------------------------------------------------------
# TEXT[field]: what each field shows. VALUE[field]: the current setup's member it feeds (the
# name field's is the name). Saved setups: SLOT[i,field] for i = 1 .. saved, line i - 1 of the
# setups list LINES[i - 1]. SEL: the setups list's selected line; CARET: its caret line, or
# -2 while the model cannot tell where it is. FOCUS: the focused control (0: the window).
declare -A TEXT VALUE SLOT
declare -a LINES GOT_SEL GOT_TOP GOT_ITEM_H GOT_LX GOT_LY GOT_LW GOT_LH GOT_COUNT GOT_TEXT
declare -a GOT_LIMIT
model_reset() {
    local id
    for id in "${FIELDS[@]}"; do TEXT[$id]='' VALUE[$id]=0; done
    VALUE[$ID_NAME]=''
    TEXT[$ID_NUM_ROLLS]=1 VALUE[$ID_NUM_ROLLS]=1 TEXT[$ID_BONUS]=0
    saved=0 SEL=-1 CARET=-2 FOCUS=0
    LINES=() RESULTS=() ROLLED=0
}

is_digits() { [[ "$1" =~ ^[0-9]*$ ]]; }

# The decimal value of an all-digit text, saturated at INT32_MAX: in R.
digits_value() {
    [[ "$1" =~ ^0*(.*)$ ]]
    local t=${BASH_REMATCH[1]}
    R=$INT32_MAX
    [ ${#t} -gt 10 ] || R=$((10#${t:-0}))
    [ $R -le $INT32_MAX ] || R=$INT32_MAX
}

# A field's text changed: the field rules.
field_changed() { # FIELD
    local id=$1 text=${TEXT[$1]:0:NAME_MAX}
    if [ "$id" = "$ID_NAME" ]; then
        VALUE[$id]=$text
    elif is_digits "$text"; then
        digits_value "$text"
        VALUE[$id]=$R
    elif [ "$id" != "$ID_BONUS" ]; then
        TEXT[$id]='' VALUE[$id]=0 # emptied; the empty text then parses as 0
    fi
}

# How many more characters typing or pasting may add to a field: R. The fields scroll, so
# their width does not limit them, only their text limit (read from the program at start):
# a key beyond it is refused and a paste is cut to it.
field_room() { # FIELD
    R=$((LIMIT[$1] - ${#TEXT[$1]}))
    [ $R -gt 0 ] || R=0
}

setup_line() { # the setups-list line of the current setup, in LINE
    local bonus=${VALUE[$ID_BONUS]} suffix=''
    [ "$bonus" -gt 0 ] && suffix="+$bonus"
    [ "$bonus" -lt 0 ] && suffix=" $bonus"
    printf -v LINE '%-26s  %dd%d%s' "${VALUE[$ID_NAME]}" "${VALUE[$ID_NUM_DICE]}" \
        "${VALUE[$ID_SIZE]}" "$suffix"
}

model_roll() {
    ROLLED=1 ROLL_COUNT=0 ROLL_LO=0 ROLL_HI=0
    local dice=${VALUE[$ID_NUM_DICE]} faces=${VALUE[$ID_SIZE]} drop=${VALUE[$ID_DROP_LOWEST]}
    local rolls=${VALUE[$ID_NUM_ROLLS]} bonus=${VALUE[$ID_BONUS]} kept
    [ "$dice" -eq 0 ] || [ "$faces" -eq 0 ] && return
    ROLL_COUNT=$((rolls < 0 ? 0 : rolls > MAX_RESULTS ? MAX_RESULTS : rolls))
    # Nothing is rolled for a count beyond the work area or a drop of every die.
    kept=$((drop >= dice || dice > MAX_DICE || faces < 0 ? 0 : dice - (drop > 0 ? drop : 0)))
    ROLL_LO=$((kept + bonus)) ROLL_HI=$((kept * faces + bonus))
}

copy_setup() { # TO FROM: slot numbers, 0 being the current setup
    local id value
    for id in "${FIELDS[@]}"; do
        if [ "$2" = 0 ]; then value=${VALUE[$id]}; else value=${SLOT[$2,$id]}; fi
        if [ "$1" = 0 ]; then VALUE[$id]=$value; else SLOT[$1,$id]=$value; fi
    done
}

model_save() {
    [ "$saved" -ge "$MAX_SETUPS" ] && return
    saved=$((saved + 1))
    copy_setup "$saved" 0
    setup_line
    LINES+=("$LINE")
}

model_update() {
    [ "$SEL" -ge 0 ] || return
    copy_setup $((SEL + 1)) 0
    setup_line
    LINES[SEL]=$LINE
    SEL=-1 CARET=-2
}

model_delete() {
    [ "$SEL" -ge 0 ] || return
    local i
    for ((i = SEL + 1; i < saved; i++)); do copy_setup "$i" $((i + 1)); done
    saved=$((saved - 1))
    LINES=("${LINES[@]:0:SEL}" "${LINES[@]:SEL+1}")
    [ "$SEL" -lt "$saved" ] || SEL=-1
    CARET=$SEL
    [ "$SEL" -ge 0 ] || CARET=-2
}

model_load() {
    local id value
    [ "$SEL" -ge 0 ] && copy_setup 0 $((SEL + 1))
    TEXT[$ID_NAME]=${VALUE[$ID_NAME]}
    for id in "$ID_NUM_ROLLS" "$ID_BONUS" "$ID_NUM_DICE" "$ID_SIZE" "$ID_DROP_LOWEST"; do
        value=${VALUE[$id]}
        TEXT[$id]=$value
        field_changed "$id"
    done
    model_roll
}

# --- comparison -----------------------------------------------------------------------------
DIFF=''
differ() { DIFF+="  $*"$'\n'; }

compare_state() {
    DIFF=''
    local i id
    [ "$GOT_ICONIC" = 0 ] || differ "the window is minimised"
    [ "$GOT_FOCUS" = "$FOCUS" ] || differ "focus on $GOT_FOCUS, model $FOCUS"
    for id in "${FIELDS[@]}"; do
        [ "${GOT_TEXT[id]}" = "${TEXT[$id]}" ] ||
            differ "field $id shows '${GOT_TEXT[id]:0:80}' (${#GOT_TEXT[id]} chars)," \
                "model '${TEXT[$id]:0:80}' (${#TEXT[$id]} chars)"
    done
    [ "${GOT_SEL[ID_SETUP_LIST]}" = "$SEL" ] ||
        differ "setups selection ${GOT_SEL[ID_SETUP_LIST]}, model $SEL"
    [ "${#GOT_SETUPS[@]}" = "$saved" ] || differ "${#GOT_SETUPS[@]} setups lines, model $saved"
    for ((i = 0; i < saved && i < ${#GOT_SETUPS[@]}; i++)); do
        [ "${GOT_SETUPS[i]}" = "${LINES[i]}" ] ||
            differ "setups line $i is '${GOT_SETUPS[i]:0:80}', model '${LINES[i]:0:80}'"
    done
    if [ "$ROLLED" = 1 ]; then
        [ "${#GOT_RESULTS[@]}" = "$ROLL_COUNT" ] ||
            differ "${#GOT_RESULTS[@]} results, model $ROLL_COUNT"
        local line
        for line in "${GOT_RESULTS[@]}"; do
            if ! [[ "$line" =~ ^-?[0-9]+$ ]] || [ "$line" -lt "$ROLL_LO" ] ||
                [ "$line" -gt "$ROLL_HI" ]; then
                differ "result '$line' outside $ROLL_LO .. $ROLL_HI"
                break
            fi
        done
    elif [ "${GOT_RESULTS[*]}" != "${RESULTS[*]}" ] || [ "${#GOT_RESULTS[@]}" != "${#RESULTS[@]}" ]; then
        differ "results changed without a roll: ${#GOT_RESULTS[@]} lines, model ${#RESULTS[@]}"
    fi
    [ -z "$DIFF" ]
}

# Waits until the window agrees with the model; a roll's totals are kept as the new results.
check() {
    local deadline=$((SECONDS + ${SOAK_WAIT:-8})) previous="${RESULTS[*]}" waited=
    sleep 0.05
    while :; do
        read_state || return 1
        if compare_state; then
            # A roll that keeps the same number of lines could still be on its way.
            if [ "$ROLLED" = 1 ] && [ "$ROLL_COUNT" -gt 0 ] &&
                [ "${GOT_RESULTS[*]}" = "$previous" ] && [ -z "$waited" ]; then
                waited=1
                sleep 0.2
                continue
            fi
            RESULTS=("${GOT_RESULTS[@]}") ROLLED=0
            return 0
        fi
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.05
    done
}

# --- real input -----------------------------------------------------------------------------
# Client coordinates; further xdotool commands may follow in the same call. Two clicks near
# the same place within the double-click time would make a double-click, so a click that
# follows another there waits that time out.
last_click='-100 -100 0'
click() { # X Y COUNT [XDOTOOL_COMMAND...]
    local x=$((CLIENT_X + $1)) y=$((CLIENT_Y + $2)) count=$3 lx ly lt now
    shift 3
    read -r lx ly lt <<<"$last_click"
    now=${EPOCHREALTIME/./}
    if [ $((x - lx < 0 ? lx - x : x - lx)) -le 8 ] && [ $((y - ly < 0 ? ly - y : y - ly)) -le 8 ] &&
        [ $((now - lt)) -lt 700000 ]; then
        sleep "0.$(printf '%06d' $((700000 - (now - lt))))"
    fi
    xdotool mousemove "$x" "$y" click --repeat "$count" --delay 80 1 "$@"
    last_click="$x $y ${EPOCHREALTIME/./}"
}

# The controls' places are those drive_wait_window read from the window.
click_control() { # ID [XDOTOOL_COMMAND...]
    local x y w h
    read -r x y w h <<<"${DRIVE_RECT[$1]}"
    shift
    click $((x + w / 2)) $((y + h / 2)) 1 "$@"
}

# A random text of COUNT characters from a random character set.
random_text() { # COUNT FIELD
    local sets=("0123456789" "0123456789" "0123456789x-+ " "abcdefghijklmnopqrstuvwxyzQ+- %")
    rand 4
    local set=${sets[R]} i
    [ "$2" = "$ID_NAME" ] || [ "$R" -lt 3 ] || { rand 3 && set=${sets[R]}; }
    TEXT_OUT=''
    for ((i = 0; i < $1; i++)); do
        rand ${#set}
        TEXT_OUT+=${set:R:1}
    done
}

pick_field() {
    rand ${#FIELDS[@]}
    FIELD=${FIELDS[R]}
}

# Clicks into the field and presses End, so that the caret is at the end of its text, then
# the further keys or xdotool commands.
focus_field() { # FIELD [XDOTOOL_COMMAND...]
    local id=$1
    shift
    FOCUS=$id
    click_control "$id" key End "$@"
}

# A few keys at a time: four digits at most keep a roll of them short.
act_type() {
    pick_field
    rand 4
    random_text $((R + 1)) "$FIELD"
    ACTION="type '$TEXT_OUT' into $FIELD"
    focus_field "$FIELD" type --delay 15 -- "$TEXT_OUT"
    local i
    for ((i = 0; i < ${#TEXT_OUT}; i++)); do
        field_room "$FIELD"
        [ $R -gt 0 ] || continue
        TEXT[$FIELD]+=${TEXT_OUT:i:1}
        field_changed "$FIELD"
    done
}

act_clear() {
    pick_field
    rand 2
    local key=(Delete BackSpace)
    ACTION="select all of $FIELD and ${key[R]}"
    focus_field "$FIELD" Home shift+End "${key[R]}"
    if [ -n "${TEXT[$FIELD]}" ]; then
        TEXT[$FIELD]=''
        field_changed "$FIELD"
    fi
}

# Short and long texts, among them digit strings up to and beyond the field's limit, with
# or without a letter after the last digit the field takes.
act_paste() {
    pick_field
    rand 2
    local replace=$R length
    rand 4
    local kind=$R
    case $kind in
    0) rand 12 && length=$((R + 1)) ;;
    1) rand 300 && length=$((R + 1)) ;;
    *) rand 100 && length=$((${LIMIT[$FIELD]} - 50 + R)) ;;
    esac
    random_text "$length" "$FIELD"
    if [ "$kind" = 3 ]; then
        TEXT_OUT=$(printf '%*s' "$length" '' | tr ' ' 7)
        TEXT_OUT=${TEXT_OUT:0:length-1}x
    fi
    ACTION="paste ${#TEXT_OUT} characters '${TEXT_OUT:0:20}...' into $FIELD (replacing: $replace)"
    printf '%s' "$TEXT_OUT" >"$clip"
    local previous=$clip_pid
    xclip -quiet -selection clipboard -i "$clip" >/dev/null 2>&1 &
    clip_pid=$!
    # Wait until the clipboard holds the new text before pasting.
    local tries=0
    until [ "$(xclip -o -selection clipboard 2>/dev/null | head -c 64)" = "${TEXT_OUT:0:64}" ] ||
        [ $((tries += 1)) -gt 50 ]; do sleep 0.05; done
    [ -n "$previous" ] && kill "$previous" 2>/dev/null
    local select=(Home shift+End)
    [ "$replace" = 1 ] || select=()
    focus_field "$FIELD" "${select[@]}" ctrl+v
    local old=${TEXT[$FIELD]}
    [ "$replace" = 1 ] && TEXT[$FIELD]=''
    field_room "$FIELD"
    TEXT[$FIELD]+=${TEXT_OUT:0:R}
    # Nothing changes when nothing fits and nothing was replaced.
    [ "${TEXT[$FIELD]}" = "$old" ] && [ $R = 0 ] && return 0
    field_changed "$FIELD"
}

# A clicked button also takes the focus.
act_button() {
    local buttons=(roll roll roll save save save delete delete update update)
    local ids=("$ID_ROLL" "$ID_ROLL" "$ID_ROLL" "$ID_SAVE_SETUP" "$ID_SAVE_SETUP"
        "$ID_SAVE_SETUP" "$ID_DELETE_SETUP" "$ID_DELETE_SETUP" "$ID_UPDATE_SETUP"
        "$ID_UPDATE_SETUP")
    rand ${#buttons[@]}
    ACTION=${buttons[R]}
    click_control "${ids[R]}"
    FOCUS=${ids[R]}
    case $ACTION in
    roll) model_roll ;;
    save) model_save ;;
    delete) model_delete ;;
    update) model_update ;;
    esac
    return 0
}

# Picks a wholly visible line of a list, or (one time in four, when there is room) the empty
# space below its last line: LINE_PICK (-1 below the lines) and its client coordinates.
pick_line() { # LIST
    local id=$1 h=${GOT_ITEM_H[$1]} top=${GOT_TOP[$1]} count=${GOT_COUNT[$1]}
    local shown=$((GOT_LH[id] / h)) last
    last=$((count - top < shown ? count - top : shown))
    rand 4
    if { [ "$R" = 0 ] || [ "$last" -le 0 ]; } && [ "$last" -lt "$shown" ]; then
        LINE_PICK=-1
        PICK_Y=$((GOT_LY[id] + last * h + (GOT_LH[id] - last * h) / 2))
    else
        rand "$last"
        LINE_PICK=$((top + R))
        PICK_Y=$((GOT_LY[id] + R * h + h / 2))
    fi
    rand $((GOT_LW[id] - 8))
    PICK_X=$((GOT_LX[id] + 4 + R))
}

# A click on a line selects it; below the last line it changes nothing. A double-click
# loads the selected setup (the current one when none is) and rolls it, wherever it lands.
act_list_click() {
    rand 3
    local list=$ID_SETUP_LIST clicks=1
    [ "$R" = 0 ] && list=$ID_RESULTS_LIST
    rand 2
    clicks=$((R + 1))
    pick_line "$list"
    # An empty list box sends no LBN_DBLCLK on Windows (Wine 10 neither; Wine 8 does): its
    # list box only reports a double-click on an item, and Wine's conformance test
    # test_listbox_messages (dlls/user32/tests/msg.c), which runs on Windows, expects no
    # notification from an emptied LBS_NOTIFY list. The Wines differ, so an empty list gets
    # a single click.
    [ "${GOT_COUNT[$list]}" -gt 0 ] || clicks=1
    local how=(click double-click)
    ACTION="${how[clicks - 1]} on line $LINE_PICK of list $list"
    click "$PICK_X" "$PICK_Y" "$clicks"
    FOCUS=$list
    [ "$list" = "$ID_SETUP_LIST" ] || return 0
    if [ "$LINE_PICK" -ge 0 ]; then SEL=$LINE_PICK CARET=$LINE_PICK; fi
    [ "$clicks" = 2 ] && model_load
    return 0
}

# Up and Down move the caret and the selection one line, stopping at the ends. Where the
# model cannot tell the caret (after an update, or after the last line was deleted), a click
# on a line puts it there first.
act_arrows() {
    local keys=() i
    ACTION="arrows in the setups list:"
    if [ "$FOCUS" != "$ID_SETUP_LIST" ] || [ "$CARET" -lt 0 ]; then
        [ "${GOT_COUNT[ID_SETUP_LIST]}" -gt 0 ] || return 0
        pick_line "$ID_SETUP_LIST"
        [ "$LINE_PICK" -ge 0 ] || return 0
        click "$PICK_X" "$PICK_Y" 1
        FOCUS=$ID_SETUP_LIST SEL=$LINE_PICK CARET=$LINE_PICK
        ACTION+=" click line $LINE_PICK,"
    fi
    rand 4
    for ((i = 0; i <= R; i++)); do
        rand 2
        if [ "$R" = 0 ]; then
            keys+=(Up)
            [ "$CARET" -gt 0 ] && CARET=$((CARET - 1))
        else
            keys+=(Down)
            [ "$CARET" -lt $((saved - 1)) ] && CARET=$((CARET + 1))
        fi
    done
    [ "$saved" -gt 0 ] && SEL=$CARET
    ACTION+=" ${keys[*]}"
    xdotool key --delay 30 "${keys[@]}"
}

# Minimises with the caption's button and restores with a double-click on the minimised
# window's caption; the window then has the focus itself.
act_minimise() {
    ACTION="minimise and restore"
    xdotool mousemove "$MIN_X" "$MIN_Y" click 1
    wait_iconic 1 || return 1
    xdotool mousemove $((ICON_X + DESKTOP_DX)) $((ICON_Y + DESKTOP_DY)) \
        click --repeat 2 --delay 80 1
    wait_iconic 0 || return 1
    FOCUS=0
}

# Waits until the window is (1) or is not (0) minimised; ICON_X/Y: the middle of its frame.
wait_iconic() {
    local tries=0 a b c d
    until probe_ask state && [ "${ANSWER[1]}" = "iconic $1" ]; do
        [ $((tries += 1)) -gt 100 ] && drive_fail "the window did not change to iconic $1" && return 1
        sleep 0.05
    done
    probe_ask wait-window 1000 || return 1
    read -r _ a b c d <<<"${ANSWER[1]}"
    ICON_X=$(((a + c) / 2)) ICON_Y=$(((b + d) / 2))
}

one_action() {
    rand 100
    if [ "$R" -lt 28 ]; then act_type
    elif [ "$R" -lt 36 ]; then act_clear
    elif [ "$R" -lt 43 ]; then act_paste
    elif [ "$R" -lt 68 ]; then act_button
    elif [ "$R" -lt 88 ]; then act_list_click
    elif [ "$R" -lt 97 ]; then act_arrows
    else act_minimise
    fi
}

# shellcheck disable=SC2317 # run by the exit trap
soak_cleanup() {
    [ -n "$clip_pid" ] && kill "$clip_pid" 2>/dev/null
    # The probe ends when its input does.
    if [ -n "${PROBE_PID:-}" ]; then
        local input=${PROBE[1]}
        exec {input}>&-
        wait "$PROBE_PID" 2>/dev/null
    fi
    drive_kill_app
    rm -f "$log" "$clip" "$answer"
}

trap soak_cleanup EXIT

soak() {
    drive_init "$session" "$probe" || return 1
    drive_log "soak: $actions actions, seed $seed"
    drive_start_app "$app" "$log"
    drive_wait_window 30000 || return 1
    probe_start
    # Screen coordinates of the caption's minimise button; the probe's are those of Wine's
    # desktop, which drive_wait_window placed on the X screen.
    probe_ask wait-window 1000 || return 1
    local line a b
    for line in "${ANSWER[@]}"; do
        case "$line" in
        window*) read -r _ a b _ <<<"$line" ;;
        minimise*) read -r _ MIN_X MIN_Y <<<"$line" ;;
        esac
    done
    DESKTOP_DX=$((WINDOW_X - a)) DESKTOP_DY=$((WINDOW_Y - b))
    MIN_X=$((MIN_X + DESKTOP_DX)) MIN_Y=$((MIN_Y + DESKTOP_DY))
    read_state || return 1
    local id
    declare -gA LIMIT
    for id in "${FIELDS[@]}"; do LIMIT[$id]=${GOT_LIMIT[id]}; done
    model_reset
    check || { drive_fail "the window does not start as the model does"$'\n'"$DIFF"; return 1; }
    local n history=() started=$SECONDS
    declare -A kinds
    for ((n = 1; n <= actions; n++)); do
        ACTION=''
        one_action || return 1
        kinds[${ACTION%% *}]=$((${kinds[${ACTION%% *}]:-0} + 1))
        history+=("$n: $ACTION")
        [ ${#history[@]} -le 8 ] || history=("${history[@]:1}")
        if ! check; then
            drive_log "DIVERGENCE: seed $seed, action $n ($ACTION); the last actions:"
            printf '  %s\n' "${history[@]}" >&2
            printf 'difference (window, then model):\n%s' "$DIFF" >&2
            return 1
        fi
        [ $((n % 100)) = 0 ] && drive_log "$n actions agree (seed $seed)"
    done
    drive_log "soak: $actions actions agreed with the model (seed $seed) in" \
        "$((SECONDS - started)) s"
    local kind mix=''
    for kind in "${!kinds[@]}"; do mix+=" $kind ${kinds[$kind]}"; done
    drive_log "actions by their first word:$mix"
    drive_close_app || return 1
    [ "$DRIVE_APP_RC" -eq 0 ] || drive_fail "exit code $DRIVE_APP_RC, expected 0"
}

if soak; then
    exit 0
fi
[ -s "$log" ] && { echo "--- program output ---" >&2; cat "$log" >&2; }
exit 1
