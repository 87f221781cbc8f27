#!/usr/bin/env python3
"""Draws Tamarin's icons and writes them as .ico files into src/resources/icons.

Python 3 standard library only. Every icon is drawn from the same shapes in a
16 x 16 unit grid and rendered at the sizes Windows asks for at 100 to 200 %
display scaling (16, 20, 24, 32 for the tray; up to 64 for the program icon)
with supersampling, so
edges on whole units stay crisp and round ones are smoothed. Each image is a
32-bit BGRA bitmap with alpha plus the 1-bit AND mask that older code paths
read, stored after a BITMAPINFOHEADER as the ICO format wants.

    program.ico   the program file's own icon: a tamarin on a clipboard
    tray_on.ico   tray, history on: a clipboard holding a written page
    tray_anim1-3  tray, clipboard change: a new page flies in from the top right
                  and settles on the board, one frame each
    tray_off.ico  tray, history off: the clipboard greyed out under a red bar

Usage: scripts/make-icons.py [--png DIR]   (--png also writes 8x previews)
"""

import math
import os
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT_DIR = os.path.join(ROOT, "src", "resources", "icons")


# ---------------------------------------------------------------- shapes
# A shape is a predicate inside(x, y) over the 16-unit grid.

def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def rrect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def capsule(ax, ay, bx, by, r):
    dx, dy = bx - ax, by - ay
    ll = dx * dx + dy * dy

    def inside(x, y):
        t = 0.0 if ll == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / ll))
        px, py = ax + t * dx - x, ay + t * dy - y
        return px * px + py * py <= r * r
    return inside


def polygon(points):
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            xa, ya = points[i]
            xb, yb = points[(i + 1) % n]
            if (ya > y) != (yb > y):
                if x < xa + (y - ya) * (xb - xa) / (yb - ya):
                    hit = not hit
        return hit
    return inside


def diff(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


def moved(shape, angle_deg, cx, cy, dx, dy):
    """The shape turned by angle_deg about (cx, cy), then shifted by (dx, dy)."""
    a = math.radians(angle_deg)
    ca, sa = math.cos(a), math.sin(a)

    def inside(x, y):
        x, y = x - dx - cx, y - dy - cy
        return shape(ca * x + sa * y + cx, -sa * x + ca * y + cy)
    return inside


def rgb(text, alpha=255):
    text = text.lstrip("#")
    return (int(text[0:2], 16), int(text[2:4], 16), int(text[4:6], 16), alpha)


# ---------------------------------------------------------------- canvas

class Canvas:
    """A square image of size pixels, premultiplied RGBA floats 0..1."""

    def __init__(self, size):
        self.size = size
        self.scale = size / 16.0
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]
        ss = 8 if size <= 16 else 4
        self.offsets = [((i + 0.5) / ss, (j + 0.5) / ss) for i in range(ss) for j in range(ss)]

    def unit(self, n=1):
        """n pixels of this size, in grid units."""
        return n / self.scale

    def fill(self, shape, color):
        r, g, b, a = (c / 255.0 for c in color)
        s = self.scale
        n = len(self.offsets)
        for py in range(self.size):
            for px in range(self.size):
                hits = 0
                for ox, oy in self.offsets:
                    if shape((px + ox) / s, (py + oy) / s):
                        hits += 1
                if hits == 0:
                    continue
                k = a * hits / n
                p = self.px[py * self.size + px]
                p[0] = r * k + p[0] * (1 - k)
                p[1] = g * k + p[1] * (1 - k)
                p[2] = b * k + p[2] * (1 - k)
                p[3] = k + p[3] * (1 - k)

    def rgba_rows(self):
        """Rows top to bottom of straight (not premultiplied) 8-bit RGBA."""
        rows = []
        for py in range(self.size):
            row = []
            for px in range(self.size):
                r, g, b, a = self.px[py * self.size + px]
                if a <= 0.0:
                    row.append((0, 0, 0, 0))
                    continue
                row.append(tuple(min(255, int(round(c / a * 255))) for c in (r, g, b))
                           + (min(255, int(round(a * 255))),))
            rows.append(row)
        return rows


def filter_colors(rows, fn):
    return [[fn(p) if p[3] else p for p in row] for row in rows]


def greyed(p):
    r, g, b, a = p
    y = 0.30 * r + 0.59 * g + 0.11 * b
    v = int(round(110 + y * 0.55))
    return (v, v, v, a)


# ---------------------------------------------------------------- artwork

BOARD_EDGE = rgb("5a3415")
BOARD = rgb("b8773c")
BOARD_LIGHT = rgb("d08d4c")
PAPER_EDGE = rgb("9aa3ad")
PAPER = rgb("ffffff")
INK = rgb("4f6f9f")
CLIP_EDGE = rgb("3c434c")
CLIP = rgb("c9d1da")
CLIP_SHINE = rgb("f1f5f9")


def draw_board(c):
    o = c.unit(1)
    c.fill(rrect(2, 2, 14, 16, 1.5), BOARD_EDGE)
    c.fill(rrect(2 + o, 2 + o, 14 - o, 16 - o, 1.5 - o), BOARD)
    # a lit left edge gives the board some depth at the larger sizes
    if c.size >= 32:
        c.fill(rect(2 + o, 4, 2 + 2 * o, 14), BOARD_LIGHT)


def page_shapes(c, x0=4.0, y0=4.0, lines=True):
    """The page as (shape, colour) pairs, 8 x 10 units from (x0, y0)."""
    o = c.unit(1)
    shapes = []
    if c.size >= 32:
        shapes.append((rect(x0, y0, x0 + 8, y0 + 10), PAPER_EDGE))
        shapes.append((rect(x0 + o, y0 + o, x0 + 8 - o, y0 + 10 - o), PAPER))
    else:
        shapes.append((rect(x0, y0, x0 + 8, y0 + 10), PAPER))
    if lines:
        t = c.unit(1 if c.size < 32 else 2)
        for dy, length in ((2, 6), (4, 5), (6, 6), (8, 4)):
            shapes.append((rect(x0 + 1, y0 + dy, x0 + 1 + length, y0 + dy + t), INK))
    return shapes


def draw_clip(c):
    o = c.unit(1)
    # the loop on top, with a hole the background shows through
    hole = rect(7, 1, 9, 2)
    c.fill(diff(rrect(6, 0, 10, 3, 1.2), hole), CLIP_EDGE)
    if c.size >= 32:
        c.fill(diff(rrect(6 + o, o, 10 - o, 3, 1.2 - o), rect(7 - o, 1 - o, 9 + o, 2 + o)), CLIP)
    # the clamp across the board's top edge
    c.fill(rrect(4.5, 2, 11.5, 5, 0.8), CLIP_EDGE)
    c.fill(rrect(4.5 + o, 2 + o, 11.5 - o, 5 - o, 0.8 - o), CLIP)
    if c.size >= 32:
        c.fill(rect(4.5 + 2 * o, 2 + o, 11.5 - 2 * o, 2 + 2 * o), CLIP_SHINE)


def draw_clipboard(c):
    draw_board(c)
    for shape, color in page_shapes(c):
        c.fill(shape, color)
    draw_clip(c)


def draw_flying_page(c, angle, dx, dy, streaks):
    """A new page on its way to the board: turned, shifted, with speed lines."""
    o = c.unit(1)
    for (ax, ay, bx, by) in streaks:
        c.fill(capsule(ax, ay, bx, by, max(o / 2, 0.35)), rgb("5aa0e8", 240))
    # a soft shadow down and to the left lifts the page off the board
    c.fill(moved(rect(4, 4, 12, 14), angle, 8, 9, dx - o, dy + o), rgb("000000", 90))
    for shape, color in page_shapes(c):
        c.fill(moved(shape, angle, 8, 9, dx, dy), color)
    if c.size >= 32:
        edge = diff(rect(4, 4, 12, 14), rect(4 + o, 4 + o, 12 - o, 14 - o))
        c.fill(moved(edge, angle, 8, 9, dx, dy), rgb("5c6f87"))


# The arriving page: (turn in degrees, shift x, shift y, speed lines).
# It comes in from the top right, turning upright and slowing as it lands.
FRAMES = [
    (28, 6.5, -6.5, [(13.5, 2.5, 15.8, 0.2), (15.2, 5.5, 15.9, 4.8)]),
    (16, 3.5, -3.5, [(12.5, 1.0, 15.0, -1.5), (14.8, 4.0, 16.0, 2.8), (15.3, 8.0, 16.0, 7.3)]),
    (6, 1.2, -1.2, [(13.0, 3.2, 14.6, 1.6), (13.8, 6.2, 15.2, 4.8)]),
]


# At 16 pixels a turned page smears into grey, so there the page keeps upright
# and moves by whole pixels along the same path.
FRAMES_16 = [
    (0, 6, -6, [(12.5, 1.5, 14.5, -0.5), (15.0, 4.0, 16.5, 2.5)]),
    (0, 3, -3, [(12.0, 1.5, 14.5, -1.0), (14.5, 4.5, 16.5, 2.5)]),
    (0, 1, -1, [(13.5, 3.5, 15.0, 2.0)]),
]


def draw_anim(c, frame):
    angle, dx, dy, streaks = (FRAMES_16 if c.size < 32 else FRAMES)[frame]
    draw_board(c)
    # the board is empty while the new page is in the air
    draw_clip(c)
    draw_flying_page(c, angle, dx, dy, streaks)
    if frame == len(FRAMES) - 1:
        # last frame: the page slides under the clamp
        o = c.unit(1)
        c.fill(rrect(4.5, 2, 11.5, 5, 0.8), CLIP_EDGE)
        c.fill(rrect(4.5 + o, 2 + o, 11.5 - o, 5 - o, 0.8 - o), CLIP)


def draw_off(c):
    draw_clipboard(c)
    rows = filter_colors(c.rgba_rows(), greyed)
    c2 = Canvas(c.size)
    for py, row in enumerate(rows):
        for px, (r, g, b, a) in enumerate(row):
            k = a / 255.0
            c2.px[py * c.size + px] = [r / 255.0 * k, g / 255.0 * k, b / 255.0 * k, k]
    c.px = c2.px
    o = c.unit(1)
    w = 1.35 if c.size < 32 else 1.25
    c.fill(capsule(2.2, 2.2, 13.8, 13.8, w + o), rgb("ffffff"))
    c.fill(capsule(2.2, 2.2, 13.8, 13.8, w), rgb("d81e1e"))


FUR = rgb("54443c")
FUR_LIGHT = rgb("7a665b")
FACE = rgb("241c19")
WHISKER = rgb("ffffff")
EYE = rgb("e0a040")
PUPIL = rgb("1a1210")
MUZZLE = rgb("c98d86")
SKY = rgb("dcebf7")


def draw_program(c):
    """The clipboard with an emperor tamarin looking out of the page: dark
    face, big amber eyes and the long white moustache that hangs down over
    its shoulders."""
    draw_board(c)
    o = c.unit(1)
    page = rect(4, 4, 12, 14)
    c.fill(page, SKY if c.size < 32 else PAPER_EDGE)
    if c.size >= 32:
        c.fill(rect(4 + o, 4 + o, 12 - o, 14 - o), SKY)
    inner = rect(4 + o, 4, 12 - o, 14 - o) if c.size >= 32 else page

    def on_page(shape):
        return lambda x, y: inner(x, y) and shape(x, y)
    # the larger sizes sit the head a little lower, clear of the clamp
    dy = 0 if c.size < 32 else 0.4
    c.fill(on_page(ellipse(8, 15.2, 4.2, 3.2)), FUR)
    c.fill(ellipse(8, 8.0 + dy, 3.1, 3.1), FUR)
    if c.size >= 32:
        c.fill(ellipse(8, 6.6 + dy, 2.2, 1.3), FUR_LIGHT)
    c.fill(ellipse(8, 8.9 + dy, 2.2, 2.1), FACE)
    # eyes
    if c.size < 32:
        c.fill(rect(6, 8, 7, 9), EYE)
        c.fill(rect(9, 8, 10, 9), EYE)
    else:
        for ex in (6.9, 9.1):
            c.fill(ellipse(ex, 8.3 + dy, 0.75, 0.75), EYE)
            c.fill(ellipse(ex, 8.4 + dy, 0.38, 0.42), PUPIL)
            c.fill(ellipse(ex - 0.22, 8.05 + dy, 0.16, 0.16), rgb("ffffff"))
        c.fill(ellipse(8, 9.9 + dy, 0.55, 0.35), MUZZLE)
    # moustache: two strands from under the nose, out and down the shoulders
    if c.size < 32:
        for x, y in ((7, 10), (6, 10), (5, 11), (5, 12), (4, 13),
                     (8, 10), (9, 10), (10, 11), (10, 12), (11, 13)):
            c.fill(rect(x, y, x + 1, y + 1), WHISKER)
    else:
        r = 0.32 if c.size < 48 else 0.3
        for side in (-1, 1):
            pts = [(8 + side * 0.2, 10.3 + dy), (8 + side * 1.3, 10.45 + dy),
                   (8 + side * 2.4, 11.1 + dy), (8 + side * 3.0, 12.2 + dy), (8 + side * 3.3, 13.6)]
            for (ax, ay), (bx, by) in zip(pts, pts[1:]):
                c.fill(on_page(capsule(ax, ay, bx, by, r)), WHISKER)
    draw_clip(c)


ICONS = [
    ("program.ico", draw_program, (16, 20, 24, 32, 40, 48, 64)),
    ("tray_on.ico", draw_clipboard, (16, 20, 24, 32)),
    ("tray_anim1.ico", lambda c: draw_anim(c, 0), (16, 20, 24, 32)),
    ("tray_anim2.ico", lambda c: draw_anim(c, 1), (16, 20, 24, 32)),
    ("tray_anim3.ico", lambda c: draw_anim(c, 2), (16, 20, 24, 32)),
    ("tray_off.ico", draw_off, (16, 20, 24, 32)),
]


# ---------------------------------------------------------------- files

def ico_image(rows):
    """BITMAPINFOHEADER, BGRA pixels bottom-up, AND mask bottom-up."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + bytes(xor) + bytes(mask)


def ico_file(images):
    """images: list of (size, rows)."""
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    blobs = [ico_image(rows) for _, rows in images]
    offset = 6 + 16 * len(images)
    for (size, _), blob in zip(images, blobs):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    return bytes(out)


def png_file(rows, zoom):
    """A zoomed preview over a light checkerboard, for looking at by eye."""
    size = len(rows)
    raw = bytearray()
    for y in range(size * zoom):
        raw.append(0)
        for x in range(size * zoom):
            r, g, b, a = rows[y // zoom][x // zoom]
            bg = 235 if ((x // 8) + (y // 8)) % 2 == 0 else 205
            k = a / 255.0
            raw += bytes(int(round(c * k + bg * (1 - k))) for c in (r, g, b))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    w = size * zoom
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, w, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def main(argv):
    png_dir = None
    if len(argv) >= 2 and argv[0] == "--png":
        png_dir = argv[1]
        os.makedirs(png_dir, exist_ok=True)
    os.makedirs(OUT_DIR, exist_ok=True)
    for name, draw, sizes in ICONS:
        images = []
        for size in sizes:
            c = Canvas(size)
            draw(c)
            rows = c.rgba_rows()
            images.append((size, rows))
            if png_dir:
                base = os.path.splitext(name)[0]
                with open(os.path.join(png_dir, "%s-%d.png" % (base, size)), "wb") as f:
                    f.write(png_file(rows, 128 // size * 2))
        with open(os.path.join(OUT_DIR, name), "wb") as f:
            f.write(ico_file(images))
        print("wrote", os.path.relpath(os.path.join(OUT_DIR, name), ROOT))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
