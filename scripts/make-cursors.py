#!/usr/bin/env python3
"""Draws Tamarin's cursors and writes them as .cur files into
src/resources/cursors.

Python 3 standard library only. All are 32 x 32 monochrome cursors, stored
the way such a cursor is: a 1-bit XOR bitmap (black or white) and a 1-bit AND
mask (transparent where set), both bottom-up after a BITMAPINFOHEADER of
twice the height.

    linkhand.cur   pointing hand shown over the about box links; hotspot
                   (7, 0) at the tip of the index finger
    dragno.cur     prohibition sign (a ring crossed by a diagonal bar), shown
                   while the dragged pointer is outside the registered-text
                   list; hotspot (15, 15) at its centre
    dragmove.cur   a page with a folded corner carrying an arrow pointer,
                   shown while the pointer is over the list; hotspot (5, 9)
                   at the arrow's tip

Usage: scripts/make-cursors.py [--png DIR]   (--png also writes 8x previews)
"""

import math
import os
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT_DIR = os.path.join(ROOT, "src", "resources", "cursors")

SIZE = 32
BLACK, WHITE, CLEAR = "#", ".", " "

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


def blank():
    return [[CLEAR] * SIZE for _ in range(SIZE)]


def outline(grid):
    """Every clear pixel next to a black one turns white, so that the shape
    shows on dark and light backgrounds alike."""
    edge = []
    for y in range(SIZE):
        for x in range(SIZE):
            if grid[y][x] != CLEAR:
                continue
            for dy in (-1, 0, 1):
                for dx in (-1, 0, 1):
                    nx, ny = x + dx, y + dy
                    if 0 <= nx < SIZE and 0 <= ny < SIZE and grid[ny][nx] == BLACK:
                        edge.append((x, y))
    for x, y in edge:
        grid[y][x] = WHITE
    return grid


def prohibition_sign():
    """A black ring around (15, 15) crossed from its upper left to its lower
    right by a black bar, outlined in white."""
    grid = blank()
    cx = cy = 15
    outer, inner, half_bar = 12.6, 9.0, 1.9
    for y in range(SIZE):
        for x in range(SIZE):
            dx, dy = x - cx, y - cy
            r = math.hypot(dx, dy)
            on_ring = inner <= r <= outer
            on_bar = r < inner and abs(dx - dy) / math.sqrt(2) <= half_bar
            if on_ring or on_bar:
                grid[y][x] = BLACK
    return outline(grid)


# The arrow pointer, tip at the top-left character: '#' black, '.' white.
ARROW = [
    "#",
    "##",
    "#.#",
    "#..#",
    "#...#",
    "#....#",
    "#.....#",
    "#......#",
    "#.......#",
    "#........#",
    "#.....#####",
    "#..#..#",
    "#.# #..#",
    "##  #..#",
    "#    #..#",
    "     #..#",
    "      ##",
]


def page_with_arrow(tip):
    """A white page with a black border, its top right corner folded over
    and three lines of text, under an arrow pointer whose tip is at tip."""
    grid = blank()
    left, top, right, bottom, fold = 12, 15, 27, 31, 5
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            # The folded corner is cut off along the diagonal.
            if x - (right - fold) > y - top:
                continue
            border = x in (left, right) or y in (top, bottom) or x - (right - fold) == y - top
            grid[y][x] = BLACK if border else WHITE
    # The flap: the corner's back, an outlined triangle below the cut.
    for y in range(top, top + fold + 1):
        for x in range(right - fold, right + 1):
            if x - (right - fold) <= y - top:
                grid[y][x] = BLACK if x == right - fold or y == top + fold else grid[y][x]
    for y in (top + 8, top + 11, top + 14):
        for x in range(left + 3, right - 2):
            grid[y][x] = BLACK
    for row, line in enumerate(ARROW):
        for col, c in enumerate(line):
            if c in (BLACK, WHITE):
                grid[tip[1] + row][tip[0] + col] = c
    # White around the arrow's outer edge, so that it stands off the page.
    for row, line in enumerate(ARROW):
        for col, c in enumerate(line):
            if c != BLACK:
                continue
            for dx in (-1, 0, 1):
                for dy in (-1, 0, 1):
                    x, y = tip[0] + col + dx, tip[1] + row + dy
                    inside_arrow = 0 <= row + dy < len(ARROW) and 0 <= col + dx < len(ARROW[row + dy]) and \
                        ARROW[row + dy][col + dx] in (BLACK, WHITE)
                    if 0 <= x < SIZE and 0 <= y < SIZE and not inside_arrow and grid[y][x] == CLEAR:
                        grid[y][x] = WHITE
    return grid


def from_art(art):
    """The grid of a drawing given as text, one character a pixel."""
    if len(art) > SIZE or any(len(row) > SIZE for row in art):
        raise SystemExit("the drawing is larger than %d x %d pixels" % (SIZE, SIZE))
    grid = blank()
    for y, row in enumerate(art):
        for x, c in enumerate(row):
            if c in (BLACK, WHITE):
                grid[y][x] = c
    return grid


DRAG_NO_HOTSPOT = (15, 15)
DRAG_MOVE_HOTSPOT = (5, 9)

CURSORS = [
    ("linkhand.cur", from_art(LINK_HAND), LINK_HAND_HOTSPOT),
    ("dragno.cur", prohibition_sign(), DRAG_NO_HOTSPOT),
    ("dragmove.cur", page_with_arrow(DRAG_MOVE_HOTSPOT), DRAG_MOVE_HOTSPOT),
]


def packed_rows(grid, bit_of):
    """The 1-bit rows of the image, bottom-up, each 4 bytes."""
    rows = []
    for y in range(SIZE - 1, -1, -1):
        row = bytearray(SIZE // 8)
        for x in range(SIZE):
            if bit_of(grid[y][x]):
                row[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(row))
    return b"".join(rows)


def cursor_image(grid):
    """BITMAPINFOHEADER, two-colour palette, XOR bitmap and AND mask."""
    xor_bits = packed_rows(grid, lambda c: c == WHITE)  # palette index 1 is white
    and_bits = packed_rows(grid, lambda c: c == CLEAR)  # set bits let the screen through
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


def cursor_file(grid, hotspot):
    """A .cur file holding one image."""
    image = cursor_image(grid)
    directory = struct.pack("<HHH", 0, 2, 1)  # reserved, type 2 = cursor, count
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, hotspot[0], hotspot[1], len(image), 6 + 16)
    return directory + entry + image


def check(name, grid, hotspot):
    if grid[hotspot[1]][hotspot[0]] != BLACK:
        raise SystemExit("%s: the hotspot %r is not on the black shape" % (name, hotspot))


def png_preview(grid, scale=8):
    """The drawing enlarged, transparent pixels as a grey checkerboard."""
    width = height = SIZE * scale
    raw = bytearray()
    for py in range(height):
        raw.append(0)
        for px in range(width):
            c = grid[py // scale][px // scale]
            if c == BLACK:
                raw += b"\x00\x00\x00"
            elif c == WHITE:
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
    for name, grid, hotspot in CURSORS:
        check(name, grid, hotspot)
        with open(os.path.join(OUT_DIR, name), "wb") as f:
            f.write(cursor_file(grid, hotspot))
        if png_dir:
            os.makedirs(png_dir, exist_ok=True)
            with open(os.path.join(png_dir, os.path.splitext(name)[0] + ".png"), "wb") as f:
                f.write(png_preview(grid))


if __name__ == "__main__":
    main(sys.argv)
