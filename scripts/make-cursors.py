#!/usr/bin/env python3
"""Draws Tamarin's link cursor and writes it as a .cur file into
src/resources/cursors.

Python 3 standard library only. The cursor is drawn as text, one character a
pixel, and stored the way a monochrome cursor is: a 1-bit XOR bitmap
(black or white) and a 1-bit AND mask (transparent where set), both
bottom-up after a BITMAPINFOHEADER of twice the height.

    linkhand.cur   pointing hand shown over the about box links, 32 x 32,
                   hotspot (7, 0) at the tip of the index finger

Usage: scripts/make-cursors.py [--png DIR]   (--png also writes 8x previews)
"""

import os
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT_DIR = os.path.join(ROOT, "src", "resources", "cursors")

SIZE = 32

# '#' black, '.' white, anything else transparent. Rows shorter than 32 are
# transparent to the right.
LINK_HAND = [
    "      ###",
    "     #...#",
    "     #...#",
    "     #...#",
    "     #...#",
    "     #...#",
    "     #...####",
    "     #...#...###",
    "     #...#...#..###",
    "     #...#...#..#..#",
    " ### #...#...#..#..#",
    "#...##...#...#..#..#",
    "#....#...........#.#",
    "#.....#............#",
    " #....#............#",
    " #.................#",
    "  #................#",
    "  #...............#",
    "   #..............#",
    "   #.............#",
    "    #............#",
    "    #...........#",
    "     #..........#",
    "     #..........#",
    "     ############",
]
LINK_HAND_HOTSPOT = (7, 0)

CURSORS = [
    ("linkhand.cur", LINK_HAND, LINK_HAND_HOTSPOT),
]


def pixel(art, x, y):
    """'#', '.' or ' ' at (x, y) of the drawing."""
    if y >= len(art) or x >= len(art[y]):
        return " "
    c = art[y][x]
    return c if c in "#." else " "


def packed_rows(art, bit_of):
    """The 1-bit rows of the image, bottom-up, each padded to 4 bytes."""
    rows = []
    for y in range(SIZE - 1, -1, -1):
        row = bytearray(SIZE // 8)
        for x in range(SIZE):
            if bit_of(pixel(art, x, y)):
                row[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(row))
    return b"".join(rows)


def cursor_image(art):
    """BITMAPINFOHEADER, two-colour palette, XOR bitmap and AND mask."""
    xor_bits = packed_rows(art, lambda c: c == ".")  # palette index 1 is white
    and_bits = packed_rows(art, lambda c: c == " ")  # set bits let the screen through
    header = struct.pack(
        "<IiiHHIIiiII",
        40,  # biSize
        SIZE,  # biWidth
        SIZE * 2,  # biHeight: XOR bitmap and AND mask together
        1,  # biPlanes
        1,  # biBitCount
        0,  # biCompression (BI_RGB)
        len(xor_bits) + len(and_bits),  # biSizeImage
        0,
        0,
        2,  # biClrUsed
        0,
    )
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    return header + palette + xor_bits + and_bits


def cursor_file(art, hotspot):
    """A .cur file holding one image."""
    image = cursor_image(art)
    directory = struct.pack("<HHH", 0, 2, 1)  # reserved, type 2 = cursor, count
    entry = struct.pack(
        "<BBBBHHII",
        SIZE,
        SIZE,
        2,  # colours
        0,
        hotspot[0],
        hotspot[1],
        len(image),
        6 + 16,  # the image follows the directory and its one entry
    )
    return directory + entry + image


def check(art, hotspot):
    for y, row in enumerate(art):
        if len(row) > SIZE:
            raise SystemExit("row %d is wider than %d pixels" % (y, SIZE))
    if len(art) > SIZE:
        raise SystemExit("the drawing is taller than %d pixels" % SIZE)
    if pixel(art, hotspot[0], hotspot[1]) == " ":
        raise SystemExit("the hotspot %r is on a transparent pixel" % (hotspot,))


def png_preview(art, scale=8):
    """The drawing enlarged, transparent pixels as a grey checkerboard."""
    width = height = SIZE * scale
    raw = bytearray()
    for py in range(height):
        raw.append(0)
        for px in range(width):
            c = pixel(art, px // scale, py // scale)
            if c == "#":
                raw += b"\x00\x00\x00"
            elif c == ".":
                raw += b"\xff\xff\xff"
            else:
                shade = 0xC0 if ((px // scale) + (py // scale)) % 2 else 0xA0
                raw += bytes([shade, shade, shade])

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    return (
        b"\x89PNG\r\n\x1a\n"
        + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
        + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
        + chunk(b"IEND", b"")
    )


def main(argv):
    png_dir = None
    if len(argv) == 3 and argv[1] == "--png":
        png_dir = argv[2]
    elif len(argv) != 1:
        raise SystemExit(__doc__)
    os.makedirs(OUT_DIR, exist_ok=True)
    for name, art, hotspot in CURSORS:
        check(art, hotspot)
        with open(os.path.join(OUT_DIR, name), "wb") as f:
            f.write(cursor_file(art, hotspot))
        if png_dir:
            os.makedirs(png_dir, exist_ok=True)
            with open(os.path.join(png_dir, os.path.splitext(name)[0] + ".png"), "wb") as f:
                f.write(png_preview(art))


if __name__ == "__main__":
    main(sys.argv)
