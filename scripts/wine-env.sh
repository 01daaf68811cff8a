# shellcheck shell=bash
# Sourced by the Wine scripts: the settings every Wine process of a session shares.
# $1 of the caller is the session folder; it holds the prefix and the display number.
WINE64=${WINE64:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver64}
[ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)
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
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        timeout 120 "$WINE64" wineboot -i </dev/null >/dev/null 2>&1
        timeout 60 "$WINESERVER" -w </dev/null >/dev/null 2>&1 || true
    fi
    wine_prefix_fonts
    wine_prefix_look
    wine_prefix_check
}

# This Wine does not find the fonts of the fonts-wine package by itself, so they are copied
# into the prefix; without them captions and system text draw wrongly.
#
# All but Wine's Courier files: a request for "Courier" at 12 x 6 pixels (the setups list)
# would pick the bitmap Courier of coure*.fon and squeeze it to 6 pixels, unreadable. With no
# Courier family in the prefix, Wine takes the replacement below, a TrueType fixed-pitch face
# (Liberation Mono, found through fontconfig) that it draws cleanly at that size. Wine only
# applies a replacement when the family itself is missing, so both changes are needed.
# (courier.ttf holds bitmaps only and Wine 8 does not match it, but it is left out too.)
WINE_COURIER_REPLACEMENT="Liberation Mono"

wine_prefix_fonts() {
    local fonts="$WINEPREFIX/drive_c/windows/Fonts" file
    mkdir -p "$fonts"
    for file in /usr/share/wine/fonts/*; do
        case ${file##*/} in
        cou*) rm -f "$fonts/${file##*/}" ;;
        *) [ -f "$fonts/${file##*/}" ] || cp "$file" "$fonts/" ;;
        esac
    done
    grep -qF "\"Courier\"=\"$WINE_COURIER_REPLACEMENT\"" "$WINEPREFIX/user.reg" 2>/dev/null ||
        timeout 60 "$WINE64" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Courier \
            /d "$WINE_COURIER_REPLACEMENT" /f </dev/null >/dev/null 2>&1
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

wine_prefix_check() {
    local fonts="$WINEPREFIX/drive_c/windows/Fonts" replacement theme
    if compgen -G "$fonts/cou*" >/dev/null; then
        echo "wine-env: Wine's own Courier files are still in $fonts" >&2
        return 1
    fi
    if [ -z "$(fc-list "$WINE_COURIER_REPLACEMENT" family 2>/dev/null)" ]; then
        echo "wine-env: fontconfig has no $WINE_COURIER_REPLACEMENT (package fonts-liberation)" >&2
        return 1
    fi
    replacement=$(wine_prefix_value 'HKCU\Software\Wine\Fonts\Replacements' Courier)
    if [ "$replacement" != "$WINE_COURIER_REPLACEMENT" ]; then
        echo "wine-env: $WINEPREFIX replaces Courier with '$replacement'," \
            "not '$WINE_COURIER_REPLACEMENT'" >&2
        return 1
    fi
    theme=$(wine_prefix_value 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' \
        ThemeActive)
    if [ "$theme" != "${TARVO_WINE_THEME:-0}" ]; then
        echo "wine-env: $WINEPREFIX has ThemeActive '$theme', not '${TARVO_WINE_THEME:-0}'" >&2
        return 1
    fi
}
