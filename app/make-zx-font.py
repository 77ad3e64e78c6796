#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Makes a scalable TrueType font of the Spectrum's characters from a ROM's character set.

Every glyph is drawn by the ROM itself: one square per set pixel of its 8x8 bitmap, so that at
a whole multiple of 8 pixels each square covers whole screen pixels and the letters stay sharp.
The 16 block graphics are not in the ROM; the Spectrum draws them from the code's four bits,
each bit one 4x4 quadrant, and so does this.

    make-zx-font.py --rom ROM --output FONT.ttf [--family NAME] [--inverse]

--inverse draws every cell in inverse video: a face that looks different, for tests.
"""
import argparse
import os

from fontTools.fontBuilder import FontBuilder
from fontTools.misc.timeTools import epoch_diff
from fontTools.pens.ttGlyphPen import TTGlyphPen

CHARACTER_SET = 0x3D00  # where the ROM keeps its 96 bitmaps, for 0x20..0x7F
FIRST_CODE = 0x20
CHARACTERS = 96
CELL = 8  # pixels a side
PIXEL = 128  # font units a side
UNITS_PER_EM = CELL * PIXEL
DESCENT_ROWS = 1  # the cell's last row lies below the base line (the tails of g, p, q, y)
ASCENT = (CELL - DESCENT_ROWS) * PIXEL
DESCENT = DESCENT_ROWS * PIXEL

# Where the Spectrum's set differs from ASCII, its own characters also at their Unicode points.
EXTRA_CODE_POINTS = {
    0x5E: [0x2191],  # an up arrow
    0x60: [0x00A3],  # the pound sign
}
# 0x7F is the copyright sign, which is where the listing writes it.
CODE_POINT_OF = {0x7F: 0x00A9}

# The block graphics 0x80..0x8F by their bits: bit 0 top right, bit 1 top left, bit 2 bottom
# right, bit 3 bottom left. Their Unicode quadrant characters, 0x80 (no quadrant) being the space.
BLOCK_CODE_POINTS = {
    0x1: 0x259D,  # upper right
    0x2: 0x2598,  # upper left
    0x3: 0x2580,  # upper half
    0x4: 0x2597,  # lower right
    0x5: 0x2590,  # right half
    0x6: 0x259A,  # upper left and lower right
    0x7: 0x259C,  # all but lower left
    0x8: 0x2596,  # lower left
    0x9: 0x259E,  # upper right and lower left
    0xA: 0x258C,  # left half
    0xB: 0x259B,  # all but lower right
    0xC: 0x2584,  # lower half
    0xD: 0x259F,  # all but upper left
    0xE: 0x2599,  # all but upper right
    0xF: 0x2588,  # full block
}
# Quadrant of each bit: (first row, first column), 4 pixels a side.
QUADRANT_OF_BIT = {0: (0, 4), 1: (0, 0), 2: (4, 4), 3: (4, 0)}


def RomBitmaps(rom):
    """The 96 bitmaps, each a list of 8 rows of 8 booleans, left to right."""
    bitmaps = []
    for index in range(CHARACTERS):
        start = CHARACTER_SET + index * CELL
        rows = rom[start:start + CELL]
        if len(rows) != CELL:
            raise SystemExit("the ROM is too short to hold a character set at 0x3D00")
        bitmaps.append([[(row >> (7 - column)) & 1 == 1 for column in range(CELL)]
                        for row in rows])
    return bitmaps


def BlockBitmap(bits):
    bitmap = [[False] * CELL for _ in range(CELL)]
    for bit, (top, left) in QUADRANT_OF_BIT.items():
        if bits & (1 << bit):
            for row in range(top, top + CELL // 2):
                for column in range(left, left + CELL // 2):
                    bitmap[row][column] = True
    return bitmap


def Outline(bitmap):
    """One square per set pixel; the top row of the cell is the highest."""
    pen = TTGlyphPen(None)
    for row in range(CELL):
        for column in range(CELL):
            if not bitmap[row][column]:
                continue
            left = column * PIXEL
            top = ASCENT - row * PIXEL
            # Clockwise, as TrueType wants outer contours.
            pen.moveTo((left, top - PIXEL))
            pen.lineTo((left, top))
            pen.lineTo((left + PIXEL, top))
            pen.lineTo((left + PIXEL, top - PIXEL))
            pen.closePath()
    return pen.glyph()


def LeftSideBearing(bitmap):
    columns = [column for row in bitmap for column in range(CELL) if row[column]]
    return min(columns) * PIXEL if columns else 0


def Timestamp():
    # Reproducible: the same ROM makes the same file, dated by SOURCE_DATE_EPOCH where set.
    return int(os.environ.get("SOURCE_DATE_EPOCH", "0")) - epoch_diff


def MakeFont(rom, family, inverse):
    bitmaps = {}  # glyph name -> bitmap
    cmap = {}  # code point -> glyph name
    for index, bitmap in enumerate(RomBitmaps(rom)):
        code = FIRST_CODE + index
        name = "rom%02X" % code
        bitmaps[name] = bitmap
        for point in [CODE_POINT_OF.get(code, code)] + EXTRA_CODE_POINTS.get(code, []):
            cmap[point] = name
    for bits, point in BLOCK_CODE_POINTS.items():
        name = "block%X" % bits
        bitmaps[name] = BlockBitmap(bits)
        cmap[point] = name
    if inverse:
        bitmaps = {name: [[not pixel for pixel in row] for row in bitmap]
                   for name, bitmap in bitmaps.items()}

    order = [".notdef"] + list(bitmaps)
    empty = [[False] * CELL for _ in range(CELL)]
    builder = FontBuilder(UNITS_PER_EM, isTTF=True)
    builder.updateHead(created=Timestamp(), modified=Timestamp())
    builder.setupGlyphOrder(order)
    builder.setupCharacterMap(cmap)
    builder.setupGlyf({name: Outline(bitmaps.get(name, empty)) for name in order})
    builder.setupHorizontalMetrics(
        {name: (UNITS_PER_EM, LeftSideBearing(bitmaps.get(name, empty))) for name in order})
    builder.setupHorizontalHeader(ascent=ASCENT, descent=-DESCENT, lineGap=0)
    builder.setupNameTable({
        "familyName": family,
        "styleName": "Regular",
        "uniqueFontIdentifier": family + " Regular",
        "fullName": family + " Regular",
        "psName": family.replace(" ", "") + "-Regular",
        "version": "Version 1.000",
        "copyright": "Glyphs from the OpenSE BASIC ROM: 1981 Nine Tiles Networks Ltd, "
                     "2011-2020 Source Solutions, Inc.",
        "licenseDescription": "GNU GPL version 2 or later, or CC BY-SA 3.0",
    })
    builder.setupOS2(version=4, sTypoAscender=ASCENT, sTypoDescender=-DESCENT, sTypoLineGap=0,
                     usWinAscent=ASCENT, usWinDescent=DESCENT, fsType=0,
                     fsSelection=0x40 | 0x80,  # regular; use the typographic metrics
                     achVendID="BRIS")
    builder.setupPost(isFixedPitch=1)
    return builder.font


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--rom", required=True, help="a 16 KiB Spectrum ROM")
    parser.add_argument("--output", required=True, help="the TrueType file to write")
    parser.add_argument("--family", default="Brisalto Spectrum", help="the font's family name")
    parser.add_argument("--inverse", action="store_true", help="draw the cells in inverse video")
    options = parser.parse_args()
    with open(options.rom, "rb") as file:
        rom = file.read()
    MakeFont(rom, options.family, options.inverse).save(options.output)


if __name__ == "__main__":
    main()
