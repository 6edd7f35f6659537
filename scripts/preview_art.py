#!/usr/bin/env python3
"""Contact sheet of the pictures in src/win32/res/, for looking at them.

Reads the written files back (so it also checks that they decode), enlarges
each picture on the button-face grey and on white, applies masks the way the
drawing code does, and writes a PNG:

    python3 scripts/preview_art.py [out.png] [scale] [labels]
        defaults /tmp/art_sheet.png and 4; labels, comma-separated, picks
        only the pictures whose label starts with one of them
"""

import os
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RES = os.path.join(ROOT, 'src', 'win32', 'res')
FACE = (192, 192, 192)
WHITE = (255, 255, 255)
KEY = (255, 0, 255)


# --- readers ---------------------------------------------------------------

def read_dib(data, off, height_override=None):
    """Decodes a DIB (BITMAPINFOHEADER) at off; returns (w, h, rows, end)."""
    (size, w, h, planes, bpp, comp, _, _, _, used, _) = struct.unpack_from(
        '<IiiHHIIiiII', data, off)
    assert size == 40 and comp == 0 and planes == 1, 'unexpected DIB header'
    if height_override is not None:
        h = height_override
    ncol = used or (1 << bpp if bpp <= 8 else 0)
    pal = []
    p = off + 40
    for i in range(ncol):
        b, g, r, _ = data[p + 4 * i:p + 4 * i + 4]
        pal.append((r, g, b))
    p += 4 * ncol
    stride = ((w * bpp + 31) // 32) * 4
    rows = []
    for y in range(abs(h)):
        line = data[p + y * stride:p + (y + 1) * stride]
        row = []
        for x in range(w):
            if bpp == 24:
                b, g, r = line[3 * x:3 * x + 3]
                row.append((r, g, b))
            elif bpp == 8:
                row.append(pal[line[x]])
            elif bpp == 4:
                v = line[x // 2]
                row.append(pal[(v >> 4) if x % 2 == 0 else (v & 15)])
            elif bpp == 1:
                bit = (line[x // 8] >> (7 - x % 8)) & 1
                row.append(pal[bit] if pal else bit)
        rows.append(row)
    if h > 0:
        rows.reverse()
    return w, abs(h), rows, p + abs(h) * stride


def read_bmp(path):
    data = open(path, 'rb').read()
    assert data[:2] == b'BM'
    size, = struct.unpack_from('<I', data, 2)
    assert size == len(data), 'bad file size field in %s' % path
    w, h, rows, _ = read_dib(data, 14)
    return w, h, rows


def read_icons(path):
    """Icon or cursor file -> list of (w, h, composed-on function, hotspot)."""
    data = open(path, 'rb').read()
    _, kind, count = struct.unpack_from('<HHH', data, 0)
    out = []
    for i in range(count):
        w, h, _, _, a, b, size, off = struct.unpack_from('<BBBBHHII', data, 6 + 16 * i)
        w, h = w or 256, h or 256
        _, _, color, end = read_dib(data, off, height_override=h)
        # the AND mask follows the colour part, 1 bit per pixel
        stride = ((w + 31) // 32) * 4
        mask = []
        for y in range(h):
            line = data[end + y * stride:end + (y + 1) * stride]
            mask.append([(line[x // 8] >> (7 - x % 8)) & 1 for x in range(w)])
        mask.reverse()
        out.append((w, h, color, mask, (a, b) if kind == 2 else None))
    return kind, out


# --- composition -----------------------------------------------------------

def and_or(bg, mask_px, img_px):
    """SRCAND with the mask, then SRCPAINT with the picture."""
    return tuple((b & m) | i for b, m, i in zip(bg, mask_px, img_px))


def keyed(rows, bg):
    return [[bg if p == KEY else p for p in row] for row in rows]


def masked(rows, x0, w, h, bg):
    out = []
    for y in range(h):
        out.append([and_or(bg, rows[16 + y][x0 + x], rows[y][x0 + x]) for x in range(w)])
    return out


def cursor_on(color, mask, bg):
    out = []
    for y, row in enumerate(color):
        r = []
        for x, c in enumerate(row):
            m = (255, 255, 255) if mask[y][x] else (0, 0, 0)
            r.append(tuple((b & mm) ^ cc for b, mm, cc in zip(bg, m, c)))
        out.append(r)
    return out


def items():
    """Yields (label, function(bg) -> rows)."""
    names = sorted(os.listdir(RES))
    for n in names:
        p = os.path.join(RES, n)
        if n.startswith('b') and n.endswith('.bmp'):
            w, h, rows = read_bmp(p)
            assert (w, h) == (20, 20), n
            yield n[1:-4], (lambda bg, rows=rows: keyed(rows, bg))
    for n in names:
        p = os.path.join(RES, n)
        if n.startswith('k') and n.endswith('.bmp'):
            w, h, rows = read_bmp(p)
            assert (w, h) == (16, 32), n
            check_mask(n, rows, 16)
            yield n[1:-4], (lambda bg, rows=rows: masked(rows, 0, 16, 15, bg))
    w, h, rows = read_bmp(os.path.join(RES, 'h507.bmp'))
    assert (w, h) == (33, 32)
    check_mask('h507', rows, 33)
    yield '507 0', (lambda bg, rows=rows: masked(rows, 0, 16, 15, bg))
    yield '507 16', (lambda bg, rows=rows: masked(rows, 16, 16, 15, bg))
    w, h, rows = read_bmp(os.path.join(RES, 't32000.bmp'))
    assert (w, h) == (18, 20)
    yield '32000', (lambda bg, rows=rows: rows)
    kind, imgs = read_icons(os.path.join(RES, 'drag.cur'))
    assert kind == 2 and imgs[0][:2] == (32, 32) and imgs[0][4] == (0, 0)
    yield 'CUR 1', (lambda bg, i=imgs[0]: cursor_on(i[2], i[3], bg))
    kind, imgs = read_icons(os.path.join(RES, 'corvella.ico'))
    assert kind == 1
    for i in imgs:
        yield 'ICO %d' % i[0], (lambda bg, i=i: cursor_on(i[2], i[3], bg))
    w, h, rows = read_bmp(os.path.join(RES, 'a990.bmp'))
    assert w >= 67 and h >= 68
    yield '990', (lambda bg, rows=rows: rows)
    w, h, rows = read_bmp(os.path.join(RES, 'd508.bmp'))
    assert (w, h) == (189, 14)
    yield '508', (lambda bg, rows=rows: rows)


def check_mask(name, rows, w):
    """A picture pixel that is not black where the mask is white would tint
    the background; report it."""
    for y in range(15):
        for x in range(w):
            if rows[16 + y][x] == (255, 255, 255) and rows[y][x] != (0, 0, 0):
                print('%s: picture pixel (%d, %d) outside its mask' % (name, x, y))
            if rows[16 + y][x] not in ((0, 0, 0), (255, 255, 255)):
                print('%s: mask pixel (%d, %d) is neither black nor white' % (name, x, y))


# --- tiny font for the labels ------------------------------------------------

FONT = {
    '0': '111101101101111', '1': '010110010010111', '2': '111001111100111',
    '3': '111001111001111', '4': '101101111001001', '5': '111100111001111',
    '6': '111100111101111', '7': '111001010010010', '8': '111101111101111',
    '9': '111101111001111', 'C': '111100100100111', 'U': '101101101101111',
    'R': '110101110101101', 'I': '111010010010111', 'O': '111101101101111',
    ' ': '000000000000000',
}


def draw_text(img, x, y, text, scale=2, col=(0, 0, 0)):
    for ch in text:
        bits = FONT[ch]
        for j in range(5):
            for i in range(3):
                if bits[j * 3 + i] == '1':
                    for yy in range(scale):
                        for xx in range(scale):
                            put(img, x + i * scale + xx, y + j * scale + yy, col)
        x += 4 * scale


def put(img, x, y, c):
    if 0 <= y < len(img) and 0 <= x < len(img[0]):
        img[y][x] = c


# --- PNG -------------------------------------------------------------------

def png(rows):
    h, w = len(rows), len(rows[0])
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for r, g, b in row:
            raw += bytes((r, g, b))

    def chunk(tag, data):
        return (struct.pack('>I', len(data)) + tag + data +
                struct.pack('>I', zlib.crc32(tag + data) & 0xffffffff))
    return (b'\x89PNG\r\n\x1a\n' +
            chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b''))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else '/tmp/art_sheet.png'
    scale = int(sys.argv[2]) if len(sys.argv) > 2 else 4
    only = sys.argv[3].split(',') if len(sys.argv) > 3 else None
    width = 1100
    gap = 10
    blocks = []
    for label, fn in items():
        if only and not any(label.startswith(o) for o in only):
            continue
        a, b = fn(FACE), fn(WHITE)
        blocks.append((label, a, b))
    # flow layout
    x = y = gap
    line_h = 0
    placed = []
    for label, a, b in blocks:
        w = len(a[0]) * scale
        h = len(a) * scale
        stacked = 2 * w + 3 * 2 > width - 2 * gap
        bw = w + 4 if stacked else 2 * w + 6
        bh = (2 * h + 4 if stacked else h) + 16
        if x + bw > width - gap:
            x = gap
            y += line_h + gap
            line_h = 0
        placed.append((x, y, label, a, b, stacked))
        x += bw + gap
        line_h = max(line_h, bh)
    height = y + line_h + gap
    img = [[(160, 160, 168)] * width for _ in range(height)]
    for x, y, label, a, b, stacked in placed:
        h, w = len(a), len(a[0])
        ox2, oy2 = (x, y + h * scale + 4) if stacked else (x + w * scale + 6, y)
        for (ox, oy), pic in (((x, y), a), ((ox2, oy2), b)):
            for j in range(h):
                for i in range(w):
                    c = pic[j][i]
                    for yy in range(scale):
                        row = img[oy + j * scale + yy]
                        for xx in range(scale):
                            row[ox + i * scale + xx] = c
        ty = (oy2 + h * scale + 3) if stacked else (y + h * scale + 3)
        draw_text(img, x, ty, label)
    with open(out, 'wb') as f:
        f.write(png(img))
    print('wrote', out, '%dx%d' % (width, height))


if __name__ == '__main__':
    main()
