#!/usr/bin/python3
# Writes a TrueType face named "Courier", made from a fixed-pitch TrueType font the system
# has, for a Wine prefix's Fonts folder.
#   courier-font.py SOURCE.ttf OUTPUT.ttf
# Wine's own "Courier" is a bitmap font, and Wine squeezes a bitmap font's glyphs into a
# requested character width; the setups list asks for 12 x 6 pixels, which leaves them
# unreadable. A scalable face of that family name is drawn cleanly at that size, and Wine
# then prefers it. Only the names change: the glyphs, metrics, copyright and licence stay.
# The source's own family name is a reserved name under its licence, so no name record of
# the derived face carries it.
import sys

from fontTools.ttLib import TTFont

FAMILY = "Courier"
NAMES = {
    1: FAMILY,  # family
    2: "Regular",  # subfamily
    3: FAMILY + " Regular (renamed for a Wine prefix)",  # unique identifier
    4: FAMILY,  # full name
    6: FAMILY,  # PostScript name
}
DROPPED = {7, 16, 17, 18, 21, 22}  # trademark, typographic and WWS names, compatible full


def main(source, output):
    font = TTFont(source, recalcTimestamp=False)  # the same bytes each time
    table = font["name"]
    table.names = [r for r in table.names if r.nameID not in DROPPED and r.nameID not in NAMES]
    for platform, encoding, language in {(3, 1, 0x409), (1, 0, 0)}:
        for name_id, text in NAMES.items():
            table.setName(text, name_id, platform, encoding, language)
    if not font["post"].isFixedPitch:
        sys.exit(f"courier-font: {source} is not a fixed-pitch face")
    font.save(output)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: courier-font.py SOURCE.ttf OUTPUT.ttf")
    main(sys.argv[1], sys.argv[2])
