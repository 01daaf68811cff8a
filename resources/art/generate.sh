#!/bin/sh
# Makes the images compiled into the program from the sources in this folder:
#   resources/app.ico          application icon: 32 x 32 in 16 colours (app_icon.xpm), the
#                              one the window loads; 16 x 16 (app_icon_16.xpm), 48 x 48
#                              and 256 x 256 (app_icon.mvg) with an alpha channel
#   resources/roll_button.bmp  roll button image, 78 x 16, 256-colour palette
#                              (button_die.xpm and DejaVu Sans Bold)
#   resources/background.bmp   window background, 317 x 455, 24 bits per pixel
#                              (POV-Ray: background.pov, dice.inc)
#   docs/artwork.png           contact sheet of the three, icon and button also at 4x
#
# Usage: generate.sh                 write the files above
#        generate.sh --check         make them in a scratch folder and compare with the
#                                    files in the tree (exit status 1 when any differs)
#        generate.sh --mockup FILE   also write FILE: the background with the window's
#                                    controls and labels drawn over it, to judge the layout
#
# Installs povray, povray-includes, imagemagick, icoutils and fonts-dejavu-core from Debian
# when missing.
# Nothing is random and no timestamps are written, so a second run gives the same bytes.
set -eu

art_dir=$(cd "$(dirname "$0")" && pwd)
resources_dir=$(dirname "$art_dir")
docs_dir=$(dirname "$resources_dir")/docs

check=0
mockup=
while [ $# -gt 0 ]; do
    case $1 in
    --check) check=1 ;;
    --mockup)
        [ $# -ge 2 ] || { echo "--mockup needs a file name" >&2; exit 2; }
        mockup=$2
        shift
        ;;
    *) echo "usage: $0 [--check] [--mockup FILE]" >&2; exit 2 ;;
    esac
    shift
done

# ImageMagick's own convert: another convert earlier on PATH may not be the real one.
convert=/usr/bin/convert
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf

missing=
command -v povray >/dev/null 2>&1 || missing="$missing povray"
# The scene includes transforms.inc, which povray only recommends.
[ -f /usr/share/povray-3.7/include/transforms.inc ] || missing="$missing povray-includes"
[ -x "$convert" ] || missing="$missing imagemagick"
command -v icotool >/dev/null 2>&1 || missing="$missing icoutils"
[ -f "$font" ] || missing="$missing fonts-dejavu-core"
if [ -n "$missing" ]; then
    echo "installing:$missing"
    sudo=
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update
    # shellcheck disable=SC2086 # one word per package
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends $missing
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ "$check" -eq 1 ]; then
    out_resources=$work/out
    out_docs=$work/out
    mkdir -p "$work/out"
else
    out_resources=$resources_dir
    out_docs=$docs_dir
    mkdir -p "$docs_dir"
fi

started=$(date +%s)
step() {
    echo "[$(($(date +%s) - started)) s] $*"
}

# Background. POV-Ray reads files only from its working folder, so the scene and the font
# are copied into the scratch folder. PPM output: raw pixels, only a text header.
step "rendering the background"
cp "$art_dir/background.pov" "$art_dir/dice.inc" "$font" "$work/"
if ! (cd "$work" && povray +Ibackground.pov +Obackground.ppm +FP +W317 +H455 \
    +A0.05 +AM2 +R3 -J -D -V -GA >"$work/povray.log" 2>&1); then
    cat "$work/povray.log" >&2
    exit 1
fi
"$convert" "$work/background.ppm" -strip -depth 8 -type TrueColor -compress None \
    "BMP3:$out_resources/background.bmp"

# Icon: the 32 x 32 pixel art as it is, which icotool writes at 4 bits per pixel with an AND
# mask from the transparent pixels; the 16 x 16 pixel art and the drawing at 48 and 256 at
# 32 bits, the 256 one as PNG as Windows expects. The drawing is made at four times its size
# and reduced, which smooths its edges.
step "making the icon"
"$convert" "$art_dir/app_icon.xpm" -strip "PNG32:$work/app_icon.png"
"$convert" "$art_dir/app_icon_16.xpm" -strip "PNG32:$work/app_icon_16.png"
# slanted_pip FACE U V A B: an ellipse with radii A, B about (U, V) on the top face (U along
# the front edge, V towards the back) or the right face (U across it, V down), as a polygon.
slanted_pip() {
    awk -v face="$1" -v u="$2" -v v="$3" -v a="$4" -v b="$5" 'BEGIN {
        line = "polygon"
        for (i = 0; i < 24; i++) {
            t = i * 3.14159265358979 / 12
            pu = u + a * cos(t); pv = v + b * sin(t)
            if (face == "top") { x = 0.5 + pu + pv; y = 7.5 - pv }
            else { x = 23.5 + pu; y = 7.5 - pu + pv }
            line = line sprintf(" %.3f,%.3f", x, y)
        }
        print line
    }'
}
drawing="$(cat "$art_dir/app_icon.mvg")
$(slanted_pip top 11.5 3.5 2.3 1.0)
$(slanted_pip right 1.75 4.6 0.8 2.1)
$(slanted_pip right 3.5 11.5 0.8 2.1)
$(slanted_pip right 5.25 18.4 0.8 2.1)"
for size in 48 256; do
    big=$((size * 4))
    "$convert" -size "${big}x$big" xc:none -draw "scale $((big / 32)),$((big / 32)) $drawing" \
        -filter box -resize "${size}x$size" -strip -define png:exclude-chunk=date,time,tIME \
        "PNG32:$work/app_icon_$size.png"
done
icotool -c -o "$out_resources/app.ico" -b 32 "$work/app_icon_16.png" -b 4 "$work/app_icon.png" \
    -b 32 "$work/app_icon_48.png" --raw="$work/app_icon_256.png"

# Roll button: the small die and the caption on light grey, as a 256-colour palette image.
step "making the roll button"
"$convert" -size 78x16 "xc:rgb(240,240,240)" \
    "$art_dir/button_die.xpm" -geometry +0+0 -composite \
    -font "$font" -pointsize 12 -fill black -gravity NorthWest -annotate +19+1 "Roll Dice" \
    -depth 8 -strip -type Palette -compress None "BMP3:$out_resources/roll_button.bmp"

# Contact sheet: everything at 1x, the icon and the button also at 4x (nearest neighbour).
step "making the contact sheet"
label() {
    "$convert" -background white -fill "rgb(60,60,60)" -font "$font" -pointsize 11 \
        "label:$1" "$2"
}
for size in 16 32 48 256; do
    "$convert" "$work/app_icon$([ $size -eq 32 ] || echo "_$size").png" -background white \
        -flatten "$work/icon$size.png"
done
"$convert" "$work/icon32.png" -filter point -resize 400% "$work/icon4.png"
"$convert" "$out_resources/roll_button.bmp" "$work/button1.png"
"$convert" "$work/button1.png" -filter point -resize 400% "$work/button4.png"
label "background.bmp  317 x 455, 24 bpp" "$work/l_bg.png"
label "app.ico  32 x 32, 16 colours  (1x, 4x)" "$work/l_icon.png"
label "app.ico  16 x 16, 48 x 48, 256 x 256, 32 bits" "$work/l_icons.png"
label "roll_button.bmp  78 x 16, 256 colours  (1x, 4x)" "$work/l_button.png"
"$convert" -size 700x590 xc:white \
    "$work/l_bg.png" -geometry +12+10 -composite \
    \( "$out_resources/background.bmp" -bordercolor "rgb(200,200,200)" -border 1 \) \
    -geometry +12+28 -composite \
    "$work/l_icon.png" -geometry +355+10 -composite \
    "$work/icon32.png" -geometry +355+28 -composite \
    "$work/icon4.png" -geometry +399+28 -composite \
    "$work/l_button.png" -geometry +355+176 -composite \
    "$work/button1.png" -geometry +355+194 -composite \
    "$work/button4.png" -geometry +355+218 -composite \
    "$work/l_icons.png" -geometry +355+300 -composite \
    "$work/icon16.png" -geometry +355+318 -composite \
    "$work/icon48.png" -geometry +379+318 -composite \
    "$work/icon256.png" -geometry +435+318 -composite \
    -strip -define png:exclude-chunk=date,time,tIME "PNG24:$out_docs/artwork.png"

if [ -n "$mockup" ]; then
    # Controls as the window lays them out (client pixels), labels in grey on top. Wine's
    # System font stands in for the window's default font when it is there.
    step "making the mock-up"
    label_font=/usr/share/wine/fonts/system.ttf
    [ -f "$label_font" ] || label_font=$font
    "$convert" "$out_resources/background.bmp" -crop 314x455+0+0 +repage \
        -fill "rgba(240,240,240,0.6)" -stroke "rgb(80,80,200)" -strokewidth 1 \
        -draw "rectangle 5,30 104,59" -draw "rectangle 105,30 204,59" \
        -draw "rectangle 205,30 304,59" -draw "rectangle 245,60 304,109" \
        -draw "rectangle 50,5 249,29" -draw "rectangle 90,100 129,124" \
        -draw "rectangle 175,100 214,124" -draw "rectangle 90,165 129,189" \
        -draw "rectangle 175,165 214,189" -draw "rectangle 260,165 299,189" \
        -draw "rectangle 5,80 74,199" -draw "rectangle 5,200 304,399" \
        -stroke none -fill "rgb(100,100,100)" -font "$label_font" -pointsize 16 \
        -gravity NorthWest -annotate +5+10 "Name:" -annotate +10+65 "Results:" \
        -annotate +80+85 "Num Dice" -annotate +180+85 "Size" -annotate +90+150 "Bonus" \
        -annotate +82+168 "+" -annotate +160+150 "Num Rolls" -annotate +262+135 "Drop" \
        -annotate +257+150 "Lowest" -annotate +10+400 "Please email me with any comments" \
        -annotate +10+420 "someone@example.org" -filter point -resize 200% "$mockup"
fi

if [ "$check" -eq 1 ]; then
    status=0
    for file in app.ico roll_button.bmp background.bmp; do
        if cmp -s "$work/out/$file" "$resources_dir/$file"; then
            echo "same bytes: resources/$file"
        else
            echo "DIFFERS: resources/$file"
            status=1
        fi
    done
    if cmp -s "$work/out/artwork.png" "$docs_dir/artwork.png"; then
        echo "same bytes: docs/artwork.png"
    else
        echo "DIFFERS: docs/artwork.png"
        status=1
    fi
    step "done"
    exit $status
fi
step "done"
