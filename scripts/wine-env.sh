# Sourced by the Wine scripts: the settings every Wine process of a session shares.
# $1 of the caller is the session folder; it holds the prefix and the display number.
WINE64=${WINE64:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver64}
[ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

wine_session_load() { # session folder
    export WINEPREFIX="$1/prefix"
    if [ -f "$1/display" ]; then
        DISPLAY=$(cat "$1/display")
        export DISPLAY
    fi
}

# Creates $WINEPREFIX once, with the fonts this Wine does not find by itself (those of the
# fonts-wine package); does nothing when the prefix exists.
wine_prefix_create() {
    [ -f "$WINEPREFIX/system.reg" ] && return 0
    mkdir -p "$WINEPREFIX"
    timeout 120 "$WINE64" wineboot -i </dev/null >/dev/null 2>&1
    timeout 60 "$WINESERVER" -w </dev/null >/dev/null 2>&1 || true
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
}
