#!/usr/bin/python3
"""Writes a copy of a TrueType face renamed to the family "Courier".

    courier-font.py SOURCE.ttf TARGET.ttf

Only the records that name the face are rewritten; copyright, version and licence stay, and
every other record goes, since a derived face may not keep its source's reserved name.
"""
import sys

from fontTools.ttLib import TTFont

NAMES = {1: "Courier", 2: "Regular", 3: "Courier", 4: "Courier", 6: "Courier"}
KEPT = {0, 5, 13, 14}

source, target = sys.argv[1:3]
font = TTFont(source)
table = font["name"]
table.names = [r for r in table.names if r.nameID in NAMES or r.nameID in KEPT]
for record in table.names:
    if record.nameID in NAMES:
        record.string = NAMES[record.nameID]
font.save(target)
