# shellcheck shell=bash
# Sourced by the Wine scripts: the settings every Wine process of a session shares, and the
# set-up of a prefix.
# $1 of the caller is the session folder; it holds the prefix and the display number.
WINE_ENV_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# wine_find NAME...: the first of these programs that exists, as a path or on the PATH.
# Debian keeps the 64-bit loader and server in /usr/lib/wine; the wine wrapper on the PATH
# wants wine32 as well.
wine_find() {
    local name
    for name in "$@"; do
        if [ -x "$name" ]; then
            echo "$name"
            return 0
        fi
        case $name in */*) ;; *) command -v "$name" && return 0 ;; esac
    done
    echo "wine-env: none of $* found (package wine64)" >&2
    return 1
}
WINE64=${WINE64:-$(wine_find /usr/lib/wine/wine64 wine64 wine)}
WINESERVER=${WINESERVER:-$(wine_find /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver wineserver)}
export WINEDEBUG=-all
# Wine asks for no Mono or Gecko, and its menu builder writes no menu entries or file
# associations into the user's home: these prefixes only run our own programs.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64

wine_session_load() { # session folder
    export WINEPREFIX="$1/prefix"
    if [ -f "$1/display" ]; then
        DISPLAY=$(cat "$1/display")
        export DISPLAY
    fi
}

# Creates $WINEPREFIX once; on every call, also for a prefix made by an older version of
# this script, makes sure it has the fonts and the look below, and fails, saying which,
# when one of them did not take.
wine_prefix_create() {
    wine_prefix_init
    wine_prefix_wine_fonts
    wine_prefix_courier
    wine_prefix_look
    wine_prefix_check
}

wine_prefix_init() {
    [ -f "$WINEPREFIX/system.reg" ] && return 0
    echo "wine-env: creating the Wine prefix $WINEPREFIX" >&2
    mkdir -p "$WINEPREFIX"
    local log
    log=$(mktemp)
    if ! timeout 120 "$WINE64" wineboot -i </dev/null >"$log" 2>&1; then
        echo "wine-env: wineboot could not make the prefix; it printed:" >&2
        tail -n 5 "$log" >&2
        rm -f "$log"
        return 1
    fi
    rm -f "$log"
    timeout 60 "$WINESERVER" -w </dev/null >/dev/null 2>&1 || true
}

# Wine 8 does not find the fonts of the fonts-wine package by itself (Wine 10 does), so they
# are copied into the project's prefixes; without them captions and system text draw
# wrongly, and text widths differ from one Wine to the other.
wine_prefix_wine_fonts() {
    local fonts="$WINEPREFIX/drive_c/windows/Fonts" file
    mkdir -p "$fonts"
    for file in /usr/share/wine/fonts/*; do
        [ -f "$fonts/${file##*/}" ] || cp "$file" "$fonts/"
    done
}

# The setups list asks for "Courier" 12 pixels high and 6 wide. On Windows that is the
# raster Courier at 13 x 8 (raster fonts scale only by whole multiples); Wine's own Courier
# is a bitmap font too, but Wine squeezes its glyphs into the 6 pixels asked for, and they
# become unreadable. A TrueType face of that family name in the prefix's Fonts folder is
# the one both Wine 8 and Wine 10 then draw, cleanly at 12 x 6; it is made from the
# system's Liberation Mono (scripts/courier-font.py). Says what it changed.
WINE_COURIER_FILE=courier-truetype.ttf

wine_prefix_courier() {
    local fonts="$WINEPREFIX/drive_c/windows/Fonts" source made
    source=$(fc-list 'Liberation Mono:style=Regular' file 2>/dev/null | sed -n '1s/: *$//p')
    if [ -z "$source" ]; then
        echo "wine-env: fontconfig has no Liberation Mono (package fonts-liberation)" >&2
        return 1
    fi
    made=$(mktemp)
    if ! /usr/bin/python3 "$WINE_ENV_DIR/courier-font.py" "$source" "$made"; then
        echo "wine-env: the Courier face could not be made (package python3-fonttools)" >&2
        rm -f "$made"
        return 1
    fi
    if cmp -s "$made" "$fonts/$WINE_COURIER_FILE"; then
        rm -f "$made"
        return 0
    fi
    mkdir -p "$fonts"
    mv "$made" "$fonts/$WINE_COURIER_FILE"
    chmod 644 "$fonts/$WINE_COURIER_FILE"
    echo "wine-env: installed a TrueType Courier (made from $source) as $fonts/$WINE_COURIER_FILE" >&2
}

# Wine's classic look instead of the theme a new prefix switches on ("Light"). Wine's theme
# draws every part of a scroll bar from images, and each of those copies asks for the
# display's colour depth, some 0.1 ms a time: a list's two bars cost about 8 ms a drawing
# against 0.5 ms in the classic look; a press, which redraws the results list's frame, takes
# 2 to 3 ms longer (the first, which shows the bars, 5 to 8 ms), and every scroll redraws a
# bar too (bench/README.md). The classic bars also match the window's
# bevelled buttons and sunken fields, which Wine does not theme for this program.
# TARVO_WINE_THEME=1 keeps Wine's theme on, to measure or look at the program with it.
wine_prefix_look() {
    local active=${TARVO_WINE_THEME:-0}
    grep -qF "\"ThemeActive\"=\"$active\"" "$WINEPREFIX/user.reg" 2>/dev/null ||
        timeout 60 "$WINE64" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' \
            /v ThemeActive /d "$active" /f </dev/null >/dev/null 2>&1
}

# wine_prefix_value KEY NAME: the value's data as the prefix's registry holds it.
wine_prefix_value() {
    timeout 60 "$WINE64" reg query "$1" /v "$2" </dev/null 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$2 *REG_SZ *//p"
}

# Asks Wine itself what the setups list's font request realises to (font_check.exe, built
# from the program's own request), instead of trusting the settings above to have taken.
# Needs the X display the prefix will be used on.
TARVO_FONT_CHECK=${TARVO_FONT_CHECK:-$WINE_ENV_DIR/../build/windows/scripts/font_check/font_check.exe}

wine_prefix_font_check() {
    local realised status=0
    if [ ! -f "$TARVO_FONT_CHECK" ]; then
        echo "wine-env: no $TARVO_FONT_CHECK to check the font with" \
            "(cmake --build --preset windows --target font_check)" >&2
        return 1
    fi
    realised=$(timeout 60 "$WINE64" "$TARVO_FONT_CHECK" </dev/null 2>&1) || status=$?
    realised=${realised//$'\r'/}
    if [ "$status" -ne 0 ]; then
        echo "wine-env: in $WINEPREFIX the setups list's Courier is drawn as: $realised;" \
            "it needs a fixed-pitch face drawn at its design width" \
            "(the Courier TrueType face in drive_c/windows/Fonts did not take)" >&2
        return 1
    fi
    echo "$realised"
}

wine_prefix_check() {
    local theme
    wine_prefix_font_check >/dev/null || return 1
    theme=$(wine_prefix_value 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' \
        ThemeActive)
    if [ "$theme" != "${TARVO_WINE_THEME:-0}" ]; then
        echo "wine-env: $WINEPREFIX has ThemeActive '$theme', not '${TARVO_WINE_THEME:-0}'" >&2
        return 1
    fi
}
