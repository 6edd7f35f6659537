#!/usr/bin/env python3
"""Draws every picture of the player and writes it to src/win32/res/.

Standard library only; the output is byte-for-byte the same on every run,
so the generated files can be committed next to this script.

Run:  python3 scripts/make_art.py   (writes src/win32/res/* and
      src/win32/corvella_art.rc)

Resources written (ids as used by src/win32/corvella_art.rc):

  bNNN.bmp   tool-bar glyphs, 20x20, 24 bits, one per command id NNN
             (202 107 137 153 110 116 117 203 204 103 120 119 111 112 113
             150 151 114 128 123 118 121 122).  The background is the key
             colour pure magenta (255, 0, 255): load them into an image list
             with that mask colour.  The play pod uses the same glyphs.
  k500.bmp .. k510.bmp
             list kind icons 500 501 502 504 505 506 509 510, 16x32, 8 bits.
  h507.bmp   header icons 507, 33x32, 4 bits: folder at x 0, song-name file
             page at x 16.
  d508.bmp   drive images 508, 189x14, 4 bits: seven 27x14 images, image n
             for drive type n + 1 (0 no root dir, 1 floppy, 2 hard disk,
             3 network, 4 CD-ROM, 5 RAM disk, 6 unknown).  No mask: the
             background is palette index 13, colour (255, 255, 232), the
             default list background, so an opaque StretchBlt looks right;
             a caller that wants it transparent can key on that colour.
  t32000.bmp slider thumb 32000, 18x20, 24 bits, drawn on the button-face
             grey (192, 192, 192), pointing down.
  a990.bmp   about-box picture 990, 67x68, 24 bits, on button-face grey.
  drag.cur   drag cursor, 32x32, 1 bit, hotspot (0, 0) at the arrow tip;
             cursor resource id 1 (also under id 600).
  corvella.ico  application icon, 32x32 and 16x16, 4 bits; icon id 1 and
             the name MAINICON.

Mask convention of 500-510 and 507 (AND/XOR pair in one bitmap):
  the picture is in rows 0-14 (16x15; the kind icons use 15x15 and leave
  column 15 clear), its mask in rows 16-30 at the same x.  Mask pixels are
  black (0, 0, 0) where the icon is opaque and white (255, 255, 255) where it
  is transparent; picture pixels are black where it is transparent.  Draw the
  mask part with SRCAND, then the picture part with SRCPAINT (or SRCINVERT)
  over the same destination rectangle; stretching both the same way keeps
  them in register.  Rows 15 and 31 are padding (black / white).
"""

import math
import os
import struct
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RES = os.path.join(ROOT, 'src', 'win32', 'res')

KEY = (255, 0, 255)          # tool-bar transparency key
FACE = (192, 192, 192)       # button face
HDRBG = (255, 255, 232)      # default list background (drive images)

# One letter per colour, used by the pixel sprites below.  The first sixteen
# are the classic 16-colour palette, which is all the 4-bit pictures use.
COLORS = {
    'k': (0, 0, 0), 'R': (128, 0, 0), 'G': (0, 128, 0), 'Y': (128, 128, 0),
    'B': (0, 0, 128), 'M': (128, 0, 128), 'C': (0, 128, 128),
    's': (192, 192, 192), 'g': (128, 128, 128), 'r': (255, 0, 0),
    'l': (0, 255, 0), 'y': (255, 255, 0), 'b': (0, 0, 255),
    'm': (255, 0, 255), 'c': (0, 255, 255), 'w': (255, 255, 255),
    # extras for the 8- and 24-bit pictures
    'o': (224, 160, 0),      # folder back
    'n': (160, 96, 32),      # wood / board brown
    'p': (255, 208, 160),    # paper shade
    'h': (128, 192, 255),    # sky
    'd': (64, 64, 64),       # dark grey
    'e': (224, 224, 224),    # light grey
    'f': (0, 176, 0),        # leaf green
    'v': (96, 160, 255),     # light blue
}
VGA16 = [COLORS[c] for c in 'kRGYBMCsgrlybmcw']
EXTRAS = [COLORS[c] for c in 'onphdefv']


class Canvas:
    """A grid of RGB tuples; None marks a transparent pixel."""

    def __init__(self, w, h, bg=None):
        self.w, self.h = w, h
        self.p = [[bg] * w for _ in range(h)]

    @staticmethod
    def col(c):
        return COLORS[c] if isinstance(c, str) else c

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.p[y][x] = self.col(c)

    def fill(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def rect(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.set(x, y0, c)
            self.set(x, y1, c)
        for y in range(y0, y1 + 1):
            self.set(x0, y, c)
            self.set(x1, y, c)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.set(x0, y0, c)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def shape(self, inside, c):
        """Colours every pixel whose centre satisfies inside(x, y)."""
        for y in range(self.h):
            for x in range(self.w):
                if inside(x + 0.5, y + 0.5):
                    self.set(x, y, c)

    def disc(self, cx, cy, r, c):
        self.shape(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, c)

    def poly(self, pts, c):
        def inside(x, y):
            hit = False
            n = len(pts)
            for i in range(n):
                (ax, ay), (bx, by) = pts[i], pts[(i + 1) % n]
                if (ay > y) != (by > y):
                    if x < ax + (y - ay) * (bx - ax) / (by - ay):
                        hit = not hit
            return hit
        self.shape(inside, c)

    def sprite(self, x, y, art, legend=COLORS):
        """Paints a pixel sprite; '.' leaves the pixel as it is."""
        rows = sprite_rows(art)
        for j, row in enumerate(rows):
            for i, ch in enumerate(row):
                if ch != '.':
                    self.set(x + i, y + j, legend[ch])

    def blit(self, x, y, other):
        for j in range(other.h):
            for i in range(other.w):
                if other.p[j][i] is not None:
                    self.set(x + i, y + j, other.p[j][i])

    def outline(self, c='k'):
        """Adds a one-pixel outline around the opaque pixels (4-neighbours)."""
        add = []
        for y in range(self.h):
            for x in range(self.w):
                if self.p[y][x] is None:
                    for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                        xx, yy = x + dx, y + dy
                        if 0 <= xx < self.w and 0 <= yy < self.h and self.p[yy][xx] is not None:
                            add.append((x, y))
                            break
        for x, y in add:
            self.set(x, y, c)


def sprite_rows(art):
    rows = [r.strip() for r in art.strip('\n').splitlines()]
    rows = [r for r in rows if r]
    width = len(rows[0])
    for r in rows:
        if len(r) != width:
            raise ValueError('ragged sprite row: %r' % r)
    return rows


def from_sprite(art, bg=None):
    rows = sprite_rows(art)
    c = Canvas(len(rows[0]), len(rows), bg)
    c.sprite(0, 0, art)
    return c


# ---------------------------------------------------------------------------
# File writers

def pack_rows(rows, w, bpp):
    """DIB pixel data, bottom-up, each row padded to 4 bytes."""
    stride = ((w * bpp + 31) // 32) * 4
    out = bytearray()
    for row in reversed(rows):
        b = bytearray()
        if bpp == 24:
            for r, g, bl in row:
                b += bytes((bl, g, r))
        elif bpp == 8:
            b += bytes(row)
        elif bpp == 4:
            for i in range(0, w, 2):
                hi = row[i]
                lo = row[i + 1] if i + 1 < w else 0
                b.append((hi << 4) | lo)
        elif bpp == 1:
            for i in range(0, w, 8):
                v = 0
                for k in range(8):
                    if i + k < w and row[i + k]:
                        v |= 0x80 >> k
                b.append(v)
        b += b'\0' * (stride - len(b))
        out += b
    return bytes(out)


def info_header(w, h, bpp, size, ncolors):
    return struct.pack('<IiiHHIIiiII', 40, w, h, 1, bpp, 0, size,
                       0, 0, ncolors, 0)


def pal_bytes(palette):
    return b''.join(bytes((b, g, r, 0)) for r, g, b in palette)


def bmp_file(w, h, bpp, rows, palette=()):
    data = pack_rows(rows, w, bpp)
    pal = pal_bytes(palette)
    info = info_header(w, h, bpp, len(data), len(palette))
    off = 14 + len(info) + len(pal)
    head = struct.pack('<2sIHHI', b'BM', off + len(data), 0, 0, off)
    return head + info + pal + data


def icon_image(canvas, bpp, palette):
    """DIB of one icon or cursor image: colour (XOR) part, then AND mask."""
    w, h = canvas.w, canvas.h
    idx = {c: i for i, c in enumerate(palette)}
    color = [[idx[p] if p is not None else 0 for p in row] for row in canvas.p]
    mask = [[1 if p is None else 0 for p in row] for row in canvas.p]
    xor = pack_rows(color, w, bpp)
    andm = pack_rows(mask, w, 1)
    info = info_header(w, h * 2, bpp, len(xor) + len(andm), len(palette))
    return info + pal_bytes(palette) + xor + andm


def ico_file(images, kind=1, hotspots=None):
    """images: list of (canvas, bpp, palette).  kind 1 icon, 2 cursor."""
    blobs = [icon_image(c, b, p) for c, b, p in images]
    out = struct.pack('<HHH', 0, kind, len(images))
    off = 6 + 16 * len(images)
    for i, ((c, bpp, pal), blob) in enumerate(zip(images, blobs)):
        if kind == 2:
            a, b = hotspots[i]
        else:
            a, b = 1, bpp
        ncol = len(pal) if len(pal) < 256 else 0
        out += struct.pack('<BBBBHHII', c.w % 256, c.h % 256, ncol, 0,
                           a, b, len(blob), off)
        off += len(blob)
    return out + b''.join(blobs)


def nearest(palette, p):
    return min(range(len(palette)),
               key=lambda i: (sum((a - b) ** 2 for a, b in zip(palette[i], p)), i))


def quantize(canvas, palette):
    """Maps every colour to the nearest palette colour (for 4-bit output)."""
    out = Canvas(canvas.w, canvas.h)
    for y in range(canvas.h):
        for x in range(canvas.w):
            p = canvas.p[y][x]
            out.p[y][x] = None if p is None else palette[nearest(palette, p)]
    return out


def indexed(canvas, palette, transparent_index=0):
    idx = {c: i for i, c in enumerate(palette)}
    rows = []
    for row in canvas.p:
        out = []
        for p in row:
            if p is None:
                out.append(transparent_index)
            elif p in idx:
                out.append(idx[p])
            else:
                raise ValueError('colour %r not in palette' % (p,))
        rows.append(out)
    return rows


def masked_sheet(w, h, parts, palette):
    """Pictures at (x, 0) with their masks at (x, 16), as described above."""
    black, white = palette.index((0, 0, 0)), palette.index((255, 255, 255))
    rows = [[black] * w for _ in range(16)] + [[white] * w for _ in range(16)]
    idx = {c: i for i, c in enumerate(palette)}
    for x0, c in parts:
        for y in range(c.h):
            for x in range(c.w):
                p = c.p[y][x]
                if p is not None:
                    rows[y][x0 + x] = idx[p]
                    rows[16 + y][x0 + x] = black
    return rows


# ---------------------------------------------------------------------------
# Shared glyph parts

NOTE = """
....k...
....kk..
....kbk.
....k.bk
....k..k
....k..k
....k.k.
....k...
.kkkk...
kbbbk...
kbbbk...
.kkk....
"""

BIG_NOTE = """
.....k....
.....kk...
.....kbk..
.....kbbk.
.....k.bbk
.....k..bk
.....k..bk
.....k..k.
.....k.k..
.....k....
.....k....
..kkkk....
.kbbbbk...
kbbbbbk...
kbbbbk....
.kkkk.....
"""

OPEN_FOLDER = """
.kkkk...........
kowwok..........
kooooowkkkkkk...
koooooooooook...
kooookkkkkkkkkkk
kookwyyyyyyyyyk.
kookyyyyyyyyyyk.
kokwyyyyyyyyyk..
kokyyyyyyyyyyk..
kkwyyyyyyyyyk...
kkkkkkkkkkkk....
"""

CLOSED_FOLDER = """
..kkkkk..........
.kwyyyyk.........
kwyyyyyykkkkkkkk.
kwwwwwwwwwwwwwwyk
kwyyyyyyyyyyyyyok
kwyyyyyyyyyyyyyok
kwyyyyyyyyyyyyyok
kwyyyyyyyyyyyyyok
kwyyyyyyyyyyyyyok
kwyyyyyyyyyyyyyok
kwyyyyyyyyyyyyyok
kyooooooooooooook
kkkkkkkkkkkkkkkkk
"""

PAGE = """
kkkkkkkk...
kwwwwwwkk..
kwwwwwwkwk.
kwwwwwwkkkk
kwBBBBwwwwk
kwwwwwwwwwk
kwBBBBBBwwk
kwwwwwwwwwk
kwBBBBBwwwk
kwwwwwwwwwk
kwBBBBBBBwk
kwwwwwwwwwk
kwBBBBwwwwk
kwwwwwwwwwk
kkkkkkkkkkk
"""

SMALL_PAGE = """
kkkkkkk..
kwwwwwkk.
kwwwwwkwk
kwBBBwkkk
kwwwwwwwk
kwBBBBBwk
kwwwwwwwk
kwBBBBwwk
kwwwwwwwk
kwBBBBBwk
kwwwwwwwk
kkkkkkkkk
"""

DISK = """
kkkkkkkkkkkkkkk
kBkwwwwwwwwwkBk
kBkwwwwwwwwwkBk
kBkwgggggggwkBk
kBkwwwwwwwwwkBk
kBkwgggggggwkBk
kBkwwwwwwwwwkBk
kBBkkkkkkkkkBBk
kBBBBBBBBBBBBBk
kBBBsssssssBBBk
kBBBsskksssBBBk
kBBBsskksssBBBk
kBBBsskksssBBBk
.kBBsssssssBBBk
..kkkkkkkkkkkkk
"""

SMALL_DISK = """
kkkkkkkkk
kBwwwwwBk
kBwgggwBk
kBwwwwwBk
kBBBBBBBk
kBBsskBBk
kBBsskBBk
.kBsssBBk
..kkkkkkk
"""

ARROW_R = """
......k...
......kk..
kkkkkkklk.
kllllllllk
kkkkkkklk.
......kk..
......k...
"""

PENCIL = """
.......kk.
......krrk
.....kyyk.
....kyyk..
...kyyk...
..kyyk....
.kwwk.....
.kwk......
k.k.......
kk........
"""

RED_CROSS = """
rr....rr
rrr..rrr
.rrrrrr.
..rrrr..
..rrrr..
.rrrrrr.
rrr..rrr
rr....rr
"""

GREEN_CHECK = """
.......Gl
......Gl.
.....Gl..
G...Gl...
lG.Gl....
.lGl.....
..l......
"""

LETTER_A = """
..k..
.k.k.
k...k
k...k
kkkkk
k...k
k...k
"""

LETTER_Z = """
kkkkk
....k
...k.
..k..
.k...
k....
kkkkk
"""


def button():
    return Canvas(20, 20, None)


def tri_right(c, x, y, h, col='k'):
    """Solid triangle pointing right; h odd rows tall, top-left at (x, y)."""
    half = h // 2
    for j in range(h):
        n = half - abs(j - half) + 1
        for i in range(n):
            c.set(x + i, y + j, col)


def tri_left(c, x, y, h, col='k'):
    half = h // 2
    for j in range(h):
        n = half - abs(j - half) + 1
        for i in range(n):
            c.set(x + half - i, y + j, col)


def cd_disc(c, cx, cy, r, pal4=False):
    """A compact disc with a rainbow sheen, centre (cx, cy), radius r.
    pal4 keeps to the 16 basic colours."""
    def d(x, y):
        return math.hypot(x - cx, y - cy)

    def ang(x, y):
        return math.degrees(math.atan2(y - cy, x - cx)) % 360
    light, blue, warm = ('s', 'c', 'y') if pal4 else ('e', 'v', 'p')
    c.shape(lambda x, y: d(x, y) <= r, 'k')
    c.shape(lambda x, y: d(x, y) <= r - 1, light)
    c.shape(lambda x, y: d(x, y) <= r - 1 and 190 <= ang(x, y) <= 235, 'c')
    c.shape(lambda x, y: d(x, y) <= r - 1 and 235 < ang(x, y) <= 255, blue)
    c.shape(lambda x, y: d(x, y) <= r - 1 and 10 <= ang(x, y) <= 55, 'y')
    c.shape(lambda x, y: d(x, y) <= r - 1 and 55 < ang(x, y) <= 75, warm)
    c.shape(lambda x, y: d(x, y) <= r * 0.42, 'g')
    c.shape(lambda x, y: d(x, y) <= r * 0.42 - 1, 'w')
    c.shape(lambda x, y: d(x, y) <= max(1.0, r * 0.18), 'k')


def disc_with_hole(c, cx, cy, r, hole_col):
    cd_disc(c, cx, cy, r)
    c.shape(lambda x, y: math.hypot(x - cx, y - cy) <= max(0.8, r * 0.18) - 0.9,
            hole_col)


# ---------------------------------------------------------------------------
# Tool-bar glyphs (20x20)

def b202():   # choose files: a note over an open folder
    c = button()
    c.sprite(1, 8, OPEN_FOLDER)
    c.sprite(9, 0, BIG_NOTE)
    return c


def b107():   # choose directory: a folder
    c = button()
    c.sprite(1, 3, CLOSED_FOLDER)
    return c


def b137():   # audio CD: a disc
    c = button()
    cd_disc(c, 10, 10, 8.6)
    return c




def film_frame(c, x, y):
    c.fill(x, y, x + 13, y + 12, 'k')
    for i in range(4):
        c.set(x + 1 + i * 4, y + 1, 'w')
        c.set(x + 2 + i * 4, y + 1, 'w')
        c.set(x + 1 + i * 4, y + 11, 'w')
        c.set(x + 2 + i * 4, y + 11, 'w')
    c.fill(x + 1, y + 3, x + 12, y + 9, 'h')
    c.fill(x + 3, y + 4, x + 4, y + 5, 'y')
    c.poly([(x + 1, y + 10), (x + 1, y + 8), (x + 5, y + 6), (x + 9, y + 7),
            (x + 13, y + 5), (x + 13, y + 10)], 'G')


def b153():   # save video frame: film frame and a disk
    c = button()
    film_frame(c, 0, 1)
    c.sprite(10, 10, SMALL_DISK)
    return c


def b110():   # load song-name file: a list with an arrow going in
    c = button()
    c.sprite(8, 2, PAGE)
    c.sprite(0, 7, ARROW_R)
    return c


def b116():   # save as: a list with a disk and a pen
    c = button()
    c.sprite(0, 0, PAGE)
    c.sprite(9, 0, PENCIL)
    c.sprite(10, 10, SMALL_DISK)
    return c


def b117():   # overwrite save: a disk
    c = button()
    c.sprite(2, 2, DISK)
    return c


def b203():   # play
    c = button()
    tri_right(c, 6, 3, 15)
    return c


def b204():   # stop
    c = button()
    c.fill(4, 4, 15, 15, 'k')
    return c


def b103():   # pause
    c = button()
    c.fill(4, 4, 7, 15, 'k')
    c.fill(12, 4, 15, 15, 'k')
    return c


def b120():   # previous: bar and two left triangles
    c = button()
    c.fill(2, 5, 3, 15, 'k')
    tri_left(c, 4, 5, 11)
    tri_left(c, 10, 5, 11)
    return c


def b119():   # next: two right triangles and a bar
    c = button()
    tri_right(c, 4, 5, 11)
    tri_right(c, 10, 5, 11)
    c.fill(16, 5, 17, 15, 'k')
    return c


def b111():   # mark skipped: a note with a red cross
    c = button()
    c.sprite(2, 1, BIG_NOTE)
    c.sprite(11, 11, RED_CROSS)
    return c


def b112():   # mark played: a note with a check mark
    c = button()
    c.sprite(2, 1, BIG_NOTE)
    c.sprite(10, 12, GREEN_CHECK)
    return c


def b113():   # remove: scissors
    c = button()
    c.sprite(2, 1, """
    ..k.........k...
    ..kk.......kk...
    ...kk.....kk....
    ...kwk...kwk....
    ....kwk.kwk.....
    ....kwkkkwk.....
    .....kwkwk......
    ......kgk.......
    .....kwkwk......
    ....kkk.kkk.....
    ...rrr...rrr....
    ..r..rr.rr..r...
    .r....r.r....r..
    .r....r.r....r..
    .rr..rr.rr..rr..
    ..rrrr...rrrr...
    """)
    return c


def b150():   # copy: two pages
    c = button()
    c.sprite(1, 1, SMALL_PAGE)
    c.sprite(8, 6, SMALL_PAGE)
    return c


def b151():   # paste: a clipboard with a page
    c = button()
    c.fill(2, 3, 13, 18, 'k')
    c.fill(3, 4, 12, 17, 'n')
    c.sprite(5, 1, """
    ..kkk..
    kkkskkk
    ksssssk
    kkkkkkk
    """)
    c.sprite(9, 7, SMALL_PAGE)
    return c


def b114():   # undo: an arrow curving back to the left
    c = button()
    cx, cy = 10.5, 11.0

    def arc(x, y):
        d = math.hypot(x - cx, y - cy)
        return 4.0 <= d <= 7.0 and (y <= cy or x >= cx)
    c.shape(arc, 'B')
    c.shape(lambda x, y: arc(x, y) and math.hypot(x - cx, y - cy) <= 6.0
            and math.hypot(x - cx, y - cy) >= 5.0, 'b')
    # the arrow head at the left end, pointing down
    c.poly([(1, 11), (11, 11), (6, 17)], 'B')
    return c


def b128():   # auto-play settings: a clock with a play triangle
    c = button()
    cx, cy = 8.5, 8.5
    c.disc(cx, cy, 8.0, 'k')
    c.disc(cx, cy, 7.0, 'w')
    for a in range(0, 360, 90):
        x = cx + 5.6 * math.cos(math.radians(a))
        y = cy + 5.6 * math.sin(math.radians(a))
        c.set(int(x), int(y), 'k')
    c.line(8, 8, 8, 3, 'k')
    c.line(8, 8, 12, 8, 'k')
    c.set(8, 8, 'r')
    c.poly([(11, 10), (11, 20), (20, 15)], 'k')
    c.poly([(12, 12), (12, 18), (17.6, 15)], 'l')
    return c


def b123():   # interval: an hourglass
    c = button()
    c.sprite(3, 1, """
    kkkkkkkkkkkkk
    knnnnnnnnnnnk
    kkkkkkkkkkkkk
    .kweeeeeeeek.
    .kwyyyyyyyek.
    ..kwyyyyyek..
    ...kwyyyek...
    ....kwyek....
    .....kyk.....
    ....kwyek....
    ...kweyeek...
    ..kweeyeeek..
    .kweeyyyeeek.
    .kwyyyyyyyek.
    kkkkkkkkkkkkk
    knnnnnnnnnnnk
    kkkkkkkkkkkkk
    """)
    return c


def b118():   # wallpaper: a framed landscape
    c = button()
    c.fill(1, 2, 18, 17, 'k')
    c.fill(2, 3, 17, 16, 'n')
    c.fill(4, 5, 15, 14, 'h')
    c.disc(12.5, 8, 1.8, 'y')
    c.poly([(4, 15), (4, 11), (8, 8), (11, 11), (13, 10), (16, 13), (16, 15)], 'G')
    c.poly([(4, 15), (4, 13), (9, 11), (16, 14), (16, 15)], 'f')
    c.rect(3, 4, 16, 15, 'k')
    return c


def b121():   # shuffle: two crossing arrows
    c = button()
    for dy in (0, 1):
        c.line(0, 4 + dy, 4, 4 + dy, 'B')
        c.line(4, 4 + dy, 11, 13 + dy, 'B')
        c.line(5, 4 + dy, 12, 13 + dy, 'B')
        c.line(11, 13 + dy, 15, 13 + dy, 'B')
        c.line(0, 13 + dy, 4, 13 + dy, 'G')
        c.line(4, 13 + dy, 11, 4 + dy, 'G')
        c.line(5, 13 + dy, 12, 4 + dy, 'G')
        c.line(11, 4 + dy, 15, 4 + dy, 'G')
    tri_right(c, 15, 1, 7, 'G')
    tri_right(c, 15, 10, 7, 'B')
    return c


def b122():   # sort: A over Z with a down arrow
    c = button()
    c.sprite(2, 1, LETTER_A)
    c.sprite(2, 11, LETTER_Z)
    c.fill(4, 8, 4, 9, 'k')
    c.fill(12, 2, 14, 12, 'r')
    c.poly([(9, 12), (18, 12), (13.5, 18)], 'r')
    return c


BUTTONS = {
    202: b202, 107: b107, 137: b137, 153: b153, 110: b110, 116: b116,
    117: b117, 203: b203, 204: b204, 103: b103, 120: b120, 119: b119,
    111: b111, 112: b112, 113: b113, 150: b150, 151: b151, 114: b114,
    128: b128, 123: b123, 118: b118, 121: b121, 122: b122,
}


# Menu order, which the resource script follows.
BUTTON_ORDER = [202, 107, 137, 153, 110, 116, 117, 203, 204, 103, 120, 119,
                111, 112, 113, 150, 151, 114, 128, 123, 118, 121, 122]


def key_rows(c):
    return [[p if p is not None else KEY for p in row] for row in c.p]


# ---------------------------------------------------------------------------
# List kind icons (15x15 inside 16x15)

def icon():
    return Canvas(16, 15, None)


def k500():   # MIDI: a pair of notes over a keyboard
    c = icon()
    c.sprite(0, 0, """
    ....kkkkkkk....
    ....kkkkkkk....
    ....k.....k....
    ....k.....k....
    ..kkk...kkk....
    .kkkk..kkkk....
    ..kk....kk.....
    kkkkkkkkkkkkkkk
    kwkkwkkwwkkwkkk
    kwkkwkkwwkkwkkk
    kwkkwkkwwkkwkkk
    kwwkwwkwwwkwwwk
    kwwkwwkwwwkwwwk
    kwwkwwkwwwkwwwk
    kkkkkkkkkkkkkkk
    """)
    return c


def k501():   # WAV: a waveform on a scope screen
    c = icon()
    c.fill(0, 1, 14, 13, 'k')
    c.fill(1, 2, 13, 12, 'G')
    for x in range(1, 14):
        y = 7 - round(4.2 * math.sin((x - 1) * 2 * math.pi / 8.0))
        c.set(x, y, 'l')
        yprev = 7 - round(4.2 * math.sin((x - 2) * 2 * math.pi / 8.0)) if x > 1 else y
        for yy in range(min(y, yprev), max(y, yprev) + 1):
            c.set(x, yy, 'l')
    return c


def k502():   # AVI: a film strip
    c = icon()
    c.fill(2, 0, 12, 14, 'k')
    for y in range(1, 15, 3):
        c.set(3, y, 'w')
        c.set(11, y, 'w')
    c.fill(5, 1, 9, 6, 'h')
    c.fill(5, 8, 9, 13, 'h')
    c.fill(5, 5, 9, 6, 'G')
    c.fill(5, 12, 9, 13, 'G')
    c.set(6, 2, 'y')
    c.set(6, 9, 'y')
    return c


def k504():   # MOV: a film reel unwinding its film, like a Q
    c = icon()
    cx, cy = 6.5, 6.0
    c.disc(cx, cy, 6.0, 'k')
    c.disc(cx, cy, 5.0, 's')
    for a in (90, 210, 330):
        c.disc(cx + 2.8 * math.cos(math.radians(a)),
               cy - 2.8 * math.sin(math.radians(a)), 1.4, 'B')
    c.set(6, 6, 'k')
    c.fill(6, 11, 14, 14, 'k')
    for x in (8, 11, 14):
        c.set(x, 12, 'w')
        c.set(x, 14, 'w')
    c.set(14, 12, 'k')
    c.set(14, 14, 'k')
    return c


def k505():   # JPG: a small photo
    c = icon()
    c.fill(0, 1, 14, 13, 'k')
    c.fill(1, 2, 13, 12, 'w')
    c.fill(2, 3, 12, 10, 'h')
    c.disc(9.5, 5.5, 1.5, 'y')
    c.poly([(2, 11), (2, 8), (5, 5), (8, 9), (10, 8), (13, 10), (13, 11)], 'G')
    return c


def k506():   # CD track: a disc
    c = icon()
    cd_disc(c, 7.5, 7.5, 7.4)
    return c


def k509():   # MPEG video: a screen
    c = icon()
    c.fill(0, 1, 14, 11, 'k')
    c.fill(1, 2, 13, 10, 's')
    c.fill(2, 3, 12, 9, 'B')
    c.fill(3, 4, 6, 5, 'c')
    c.poly([(2, 10), (2, 8), (6, 6), (9, 8), (13, 6), (13, 10)], 'G')
    c.fill(5, 12, 9, 12, 'g')
    c.fill(3, 13, 11, 13, 'k')
    return c


def k510():   # MPEG audio: a speaker with three waves
    c = icon()
    c.sprite(0, 0, """
    .......k.......
    ......kk.....k.
    .....kgk..k...k
    ....kggkk..k..k
    kkkkgggk.k..k.k
    kwwkgggk.k..k.k
    kwwkgggk.k..k.k
    kwwkgggk.k..k.k
    kwwkgggk.k..k.k
    kwwkgggk.k..k.k
    kkkkgggk.k..k.k
    ....kggkk..k..k
    .....kgk..k...k
    ......kk.....k.
    .......k.......
    """)
    return c


KINDS = {500: k500, 501: k501, 502: k502, 504: k504, 505: k505,
         506: k506, 509: k509, 510: k510}


# ---------------------------------------------------------------------------
# Header icons 507

def header_folder():
    c = Canvas(16, 15, None)
    c.sprite(0, 1, CLOSED_FOLDER.replace('o', 'Y'))
    return c


def header_page():
    c = Canvas(16, 15, None)
    c.sprite(2, 0, PAGE.replace('B', 'b'))
    return c


# ---------------------------------------------------------------------------
# Drive images 508 (27x14 each)

def drive_box(c, x, col='s'):
    """A drive seen from the front: a box with a light top and a shadow."""
    c.fill(x + 1, 3, x + 25, 12, 'k')
    c.fill(x + 2, 4, x + 24, 11, col)
    c.fill(x + 2, 4, x + 24, 4, 'w')
    c.fill(x + 2, 4, x + 2, 11, 'w')
    c.fill(x + 3, 11, x + 24, 11, 'g')
    c.fill(x + 24, 5, x + 24, 11, 'g')


def drives():
    c = Canvas(189, 14, HDRBG)
    # 0: no root directory - a drive crossed out
    x = 0
    drive_box(c, x)
    for d in (0, 1):
        c.line(x + 8 + d, 2, x + 17 + d, 13, 'r')
        c.line(x + 17 + d, 2, x + 8 + d, 13, 'r')
    # 1: removable - a floppy drive: slot and button
    x = 27
    drive_box(c, x)
    c.fill(x + 5, 7, x + 19, 8, 'k')
    c.fill(x + 20, 9, x + 22, 9, 'g')
    c.set(x + 4, 10, 'l')
    # 2: fixed - a hard disk: grille and a green lamp
    x = 54
    drive_box(c, x)
    for i in range(5, 16, 2):
        c.fill(x + i, 6, x + i, 9, 'g')
    c.fill(x + 20, 8, x + 21, 9, 'l')
    c.set(x + 20, 8, 'G')
    # 3: remote - a drive on a network cable
    x = 81
    c.fill(x + 1, 1, x + 25, 9, 'k')
    c.fill(x + 2, 2, x + 24, 8, 's')
    c.fill(x + 2, 2, x + 24, 2, 'w')
    c.fill(x + 2, 2, x + 2, 8, 'w')
    c.fill(x + 3, 8, x + 24, 8, 'g')
    c.fill(x + 24, 3, x + 24, 8, 'g')
    for i in range(5, 14, 2):
        c.fill(x + i, 4, x + i, 6, 'g')
    c.fill(x + 20, 5, x + 21, 6, 'l')
    c.fill(x + 13, 10, x + 13, 11, 'k')
    c.fill(x + 1, 12, x + 25, 12, 'k')
    c.fill(x + 11, 11, x + 15, 13, 'k')
    c.fill(x + 12, 12, x + 14, 12, 'y')
    # 4: CD-ROM - a drive with a disc tray
    x = 108
    drive_box(c, x)
    c.fill(x + 4, 8, x + 18, 9, 'k')
    c.fill(x + 20, 9, x + 22, 9, 'g')
    c.fill(x + 3, 6, x + 4, 6, 'l')
    cd = Canvas(27, 14, None)
    cd_disc(cd, 11.0, 5.5, 5.4)
    c.blit(x, 0, cd)
    # 5: RAM disk - a memory chip
    x = 135
    c.fill(x + 3, 3, x + 23, 10, 'k')
    c.fill(x + 4, 4, x + 22, 9, 'd')
    c.fill(x + 5, 4, x + 21, 4, 'g')
    c.set(x + 5, 6, 'w')
    for i in range(4, 24, 3):
        c.fill(x + i, 1, x + i + 1, 2, 'g')
        c.fill(x + i, 11, x + i + 1, 12, 'g')
    # 6: unknown - a plain drive with a question mark
    x = 162
    drive_box(c, x)
    c.sprite(x + 11, 5, """
    .kkk.
    k...k
    ...k.
    ..k..
    .....
    ..k..
    """)
    return c


# ---------------------------------------------------------------------------
# Slider thumb 32000

def thumb():
    c = Canvas(18, 20, FACE)
    pts = [(0, 0), (18, 0), (18, 13), (9, 20), (0, 13)]
    c.poly(pts, 'k')
    c.poly([(0, 0), (17, 0), (17, 13), (9, 19), (0, 13)], 'w')
    c.poly([(1, 1), (17, 1), (17, 13), (9, 19.4), (1, 13)], 'g')
    c.poly([(1, 1), (16, 1), (16, 12.5), (9, 18), (1, 12.5)], 's')
    c.poly([(1, 1), (16, 1), (16, 12.5), (9, 18), (1, 12.5)], 's')
    # white light edge on the top and left, including the left slope
    c.fill(0, 0, 16, 0, 'w')
    c.fill(0, 0, 0, 12, 'w')
    for i in range(7):
        c.set(1 + i, 13 + i, 'w')
    # grip
    c.fill(8, 3, 8, 12, 'g')
    c.fill(9, 3, 9, 12, 'w')
    return c


# ---------------------------------------------------------------------------
# Logo (about box, application icon)

def logo(size, bg=None, pal4=False):
    """Disc with a pair of beamed notes in front; drawn on a size x size grid."""
    c = Canvas(size, size, bg)
    s = size / 64.0
    cx, cy, r = 27 * s, 27 * s, 25.5 * s
    cd_disc(c, cx, cy, r, pal4)
    # notes: two heads, two stems and a thick beam
    heads = [(33 * s, 53 * s), (54 * s, 48 * s)]
    hx, hy = 7.6 * s, 5.4 * s
    stem_w = max(1.0, 3.0 * s)
    beam_h = max(2.0, 7.5 * s)
    top = [(39.5 * s, 18 * s), (60.5 * s, 13 * s)]
    ol = max(1.0, 1.6 * s)

    def note_shape(grow):
        def inside(x, y):
            for (ex, ey), (tx, ty) in zip(heads, top):
                ax, ay = x - ex, y - ey
                a = math.radians(-20)
                u = ax * math.cos(a) - ay * math.sin(a)
                v = ax * math.sin(a) + ay * math.cos(a)
                if (u / (hx + grow)) ** 2 + (v / (hy + grow)) ** 2 <= 1:
                    return True
                sx = tx
                if sx - stem_w - grow <= x <= sx + grow and ty - grow <= y <= ey:
                    return True
            (x0, y0), (x1, y1) = top
            x0 -= stem_w
            if x0 - grow <= x <= x1 + grow:
                yt = y0 + (y1 - y0) * (x - x0) / (x1 - x0)
                if yt - grow <= y <= yt + beam_h + grow:
                    return True
            return False
        return inside
    c.shape(note_shape(ol), 'w')
    c.shape(note_shape(0), 'B')
    return c


def about_picture():
    c = Canvas(67, 68, FACE)
    lg = logo(64)
    c.blit(1, 2, lg)
    return c


ICON16 = """
...kkkkkk.......
.kkcsssssk......
kcccssssssk.....
kccssssswwwwwwww
kcsswwwswBBBBBBw
ksswkkkwwBBBBBBw
ksswkkkwwBwwwwBw
ksswkkkwwBw..wBw
kssswwwswBw..wBw
.kssssswwBw..wBw
.kkssswwwBw.wwBw
...kkwBBBBwwBBBw
.....wBBBBwBBBBw
.....wBBBwwBBBw.
......www..www..
................
"""


def app_icon(size):
    if size >= 24:
        return logo(size, pal4=True)
    # at 16 pixels the vector notes get too thin; drawn by hand instead
    return from_sprite(ICON16)


# ---------------------------------------------------------------------------
# Drag cursor

CURSOR = """
k...........
kk..........
kwk.........
kwwk........
kwwwk.......
kwwwwk......
kwwwwwk.....
kwwwwwwk....
kwwwwwwwk...
kwwwwwwwwk..
kwwwwwkkkkk.
kwwkwwk.....
kwk.kwwk....
kk..kwwk....
k....kwwk...
.....kwwk...
......kk....
"""

CURSOR_BOX = """
kkkkkkkkkkkkk
kwwwwwwwwwwwk
kwkkwkkkkkwwk
kwwwwwwwwwwwk
kkkkkkkkkkkkk
"""


def drag_cursor():
    c = Canvas(32, 32, None)
    c.sprite(0, 0, CURSOR)
    c.sprite(7, 18, CURSOR_BOX)
    return c


# ---------------------------------------------------------------------------

def palette8():
    pal = VGA16 + EXTRAS
    return pal + [(0, 0, 0)] * (256 - len(pal))


def palette4_drives():
    pal = list(VGA16)
    pal[13] = HDRBG
    return pal


def build():
    """Returns {file name: bytes} for every picture."""
    out = {}
    for cid, fn in sorted(BUTTONS.items()):
        c = fn()
        out['b%d.bmp' % cid] = bmp_file(20, 20, 24, key_rows(c))
    pal8 = palette8()
    for kid, fn in sorted(KINDS.items()):
        c = fn()
        rows = masked_sheet(16, 32, [(0, c)], pal8)
        out['k%d.bmp' % kid] = bmp_file(16, 32, 8, rows, pal8)
    rows = masked_sheet(33, 32, [(0, header_folder()), (16, header_page())], VGA16)
    out['h507.bmp'] = bmp_file(33, 32, 4, rows, VGA16)
    pald = palette4_drives()
    out['d508.bmp'] = bmp_file(189, 14, 4, indexed(quantize(drives(), pald), pald), pald)
    t = thumb()
    out['t32000.bmp'] = bmp_file(18, 20, 24, t.p)
    a = about_picture()
    out['a990.bmp'] = bmp_file(67, 68, 24, a.p)
    cur = drag_cursor()
    out['drag.cur'] = ico_file([(cur, 1, [(0, 0, 0), (255, 255, 255)])],
                               kind=2, hotspots=[(0, 0)])
    out['corvella.ico'] = ico_file([(quantize(app_icon(32), VGA16), 4, VGA16),
                                    (quantize(app_icon(16), VGA16), 4, VGA16)])
    return out


RC_HEAD = """\
// Pictures of the player, written by scripts/make_art.py together with the
// files under res/; change the script and run it again rather than editing.
//
// BITMAP ids: a tool-bar glyph has its command's id (20x20, 24-bit, magenta
// (255, 0, 255) background as the image-list mask colour); 500-510 list kind
// icons and 507 header icons (picture rows 0-14, mask rows 16-30: mask black
// where opaque; draw the mask with SRCAND, then the picture with SRCPAINT);
// 508 drive images (no mask); 32000 slider thumb; 990 about-box picture.
// CURSOR 1: drag cursor of the list view (600 is the same cursor).
// ICON 1 and ICON "MAINICON": the application icon (the same picture).
#pragma code_page(65001)
"""


def rc_text():
    out = [RC_HEAD]
    out.append('// Application icon')
    out.append('1 ICON "res/corvella.ico"')
    out.append('MAINICON ICON "res/corvella.ico"')
    out.append('')
    out.append('// Drag cursor of the list view')
    out.append('1 CURSOR "res/drag.cur"')
    out.append('600 CURSOR "res/drag.cur"')
    out.append('')
    out.append('// Tool-bar and play-pod glyphs')
    for cid in BUTTON_ORDER:
        out.append('%d BITMAP "res/b%d.bmp"' % (cid, cid))
    out.append('')
    out.append('// List kind icons')
    for kid in sorted(KINDS):
        out.append('%d BITMAP "res/k%d.bmp"' % (kid, kid))
    out.append('')
    out.append('// Header line: folder and song-name file icons, drive images')
    out.append('507 BITMAP "res/h507.bmp"')
    out.append('508 BITMAP "res/d508.bmp"')
    out.append('')
    out.append('// Position slider thumb')
    out.append('32000 BITMAP "res/t32000.bmp"')
    out.append('')
    out.append('// About box picture')
    out.append('990 BITMAP "res/a990.bmp"')
    return '\n'.join(out) + '\n'


def main():
    os.makedirs(RES, exist_ok=True)
    files = build()
    for name, data in sorted(files.items()):
        with open(os.path.join(RES, name), 'wb') as f:
            f.write(data)
    with open(os.path.join(ROOT, 'src', 'win32', 'corvella_art.rc'), 'w',
              newline='\n') as f:
        f.write(rc_text())
    print('wrote %d files to %s' % (len(files), os.path.relpath(RES, ROOT)))


if __name__ == '__main__':
    sys.exit(main())
