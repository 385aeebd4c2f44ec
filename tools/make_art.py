#!/usr/bin/env python3
"""Generate Quillmark's binary UI resources into ui/res/.

Outputs (all written byte-for-byte deterministically):
  ui/res/quillmark.ico  window icon, 32x32 and 16x16, 4 bpp
  ui/res/tray.ico       notification-area icon, 16x16, 4 bpp
  ui/res/hand.cur       32x32 pointing-hand cursor, 4 bpp, hot spot (12, 1)
  ui/res/logo.png       340x185 24-bit logo for the About window

Only the Python standard library is used.  All pictures are drawn here:
the icons and the cursor are hand-placed pixel grids, the logo is painted
from simple shapes and a small built-in bitmap font.

Usage:  python3 tools/make_art.py [output-dir]
"""

import os
import struct
import sys
import zlib

# ---------------------------------------------------------------------------
# Palette
# ---------------------------------------------------------------------------

# The standard Windows 16-colour (VGA) palette, as (R, G, B), in index order.
VGA16 = [
    (0x00, 0x00, 0x00),  # 0  black
    (0x80, 0x00, 0x00),  # 1  dark red
    (0x00, 0x80, 0x00),  # 2  dark green
    (0x80, 0x80, 0x00),  # 3  dark yellow
    (0x00, 0x00, 0x80),  # 4  dark blue
    (0x80, 0x00, 0x80),  # 5  dark magenta
    (0x00, 0x80, 0x80),  # 6  dark cyan
    (0xC0, 0xC0, 0xC0),  # 7  light grey
    (0x80, 0x80, 0x80),  # 8  dark grey
    (0xFF, 0x00, 0x00),  # 9  red
    (0x00, 0xFF, 0x00),  # 10 green
    (0xFF, 0xFF, 0x00),  # 11 yellow
    (0x00, 0x00, 0xFF),  # 12 blue
    (0xFF, 0x00, 0xFF),  # 13 magenta
    (0x00, 0xFF, 0xFF),  # 14 cyan
    (0xFF, 0xFF, 0xFF),  # 15 white
]

# Characters used in the pixel grids below -> palette index.
# '.' is transparent (AND mask bit set, colour index 0).
CHAR_INDEX = {
    'K': 0, 'r': 1, 'g': 2, 'y': 3, 'b': 4, 'm': 5, 'c': 6, 'l': 7,
    'd': 8, 'R': 9, 'G': 10, 'Y': 11, 'B': 12, 'M': 13, 'C': 14, 'W': 15,
}
TRANSPARENT = '.'

# ---------------------------------------------------------------------------
# Pixel art
# ---------------------------------------------------------------------------

# A blue quill lying from the nib (bottom left) to the feather tip (top
# right), next to a tally of four ink strokes struck through in red.
ICON_32 = """
................................
............................b...
..........................bbW...
........................bbBWb...
......................bbBBWWb...
....................bbBBBWWCb...
..................bbBBBBWWCb....
................b.bBBBBWWCCb....
...............bBbBBBBWWCCb.....
..............bBBBBBBWWCCb......
.............bBBBBBBWWCCCb......
............bBBBBBBWWCCCb.......
............bBBBBBWWCCCb........
...........b.bBBBWWCCCCb........
..........bBbBBBWWCCCCb.........
..........bBBBBWWCCCCb..........
.........bBBBBWWCCCCb...........
.........bBBBWWCCCCb............
.........bBBWWCCCbb.............
........bBBWWCCCb...............
........bBWWCbbb................
........bWWbb...KK..KK..KK..KRR.
.......lWWb.....KK..KK..KK.RRRR.
......lll.......KK..KK..KRRRRK..
.....lll........KK..KK.RRRR.KK..
....Kdl.........KK..KRRRRK..KK..
...KKd..........KK.RRRR.KK..KK..
..KKK...........KRRRRK..KK..KK..
..KK...........RRRR.KK..KK..KK..
.K...........RRRRK..KK..KK..KK..
.............RR.KK..KK..KK..KK..
................................
"""

# The same picture redrawn for 16x16 (not a scaled copy).
ICON_16 = """
..............b.
............bbWb
..........bbBWCb
.........bBBWCb.
........bBBWCCb.
.......b.bWCCb..
......bBBWCCb...
......bBWCCb....
.....bBWCCb.....
.....bBWbb......
.....bWb.K.K.K.K
....lWb..K.K.K.R
...ll....K.K.RRK
..Kl.....K.RRK.K
.KK......RRK.K.K
KK......RK.K.K.K
"""

# Pointing hand, index finger up.  The fingertip is the black pixel at
# column 12, row 1, which is the cursor's hot spot.
HAND_CURSOR = """
................................
...........KKK..................
..........KWWWK.................
..........KWWWK.................
..........KWWWK.................
..........KWWWK.................
..........KWWWK.................
..........KWWWK.................
..........KWWWKKKK..............
..........KWWWKWWWKKKK..........
..........KWWWKWWWKWWWKKK.......
..........KWWWKWWWKWWWKWWK......
.....KK...KWWWKWWWKWWWKWWK......
....KWWK..KWWWKWWWKWWWKWWK......
....KWWWK.KWWWWWWWWWWWWWWK......
.....KWWWKKWWWWWWWWWWWWWWK......
.....KWWWWKWWWWWWWWWWWWWWK......
......KWWWWWWWWWWWWWWWWWWK......
......KWWWWWWWWWWWWWWWWWWK......
.......KWWWWWWWWWWWWWWWWWK......
.......KWWWWWWWWWWWWWWWWWK......
........KWWWWWWWWWWWWWWWWK......
........KWWWWWWWWWWWWWWWK.......
.........KWWWWWWWWWWWWWWK.......
.........KWWWWWWWWWWWWWK........
..........KWWWWWWWWWWWWK........
..........KKKKKKKKKKKKKK........
................................
................................
................................
................................
................................
"""
HAND_HOTSPOT = (12, 1)

# A small arrow pointer for the end of the trail in the logo (1x, 24-bit).
ARROW_SMALL = """
K...........
KK..........
KWK.........
KWWK........
KWWWK.......
KWWWWK......
KWWWWWK.....
KWWWWWWK....
KWWWWWWWK...
KWWWWWWWWK..
KWWWWWWWWWK.
KWWWWWWKKKKK
KWWWKWWK....
KWWK.KWWK...
KWK..KWWK...
KK....KWWK..
K.....KWWK..
.......KK...
"""


def parse_grid(text, size):
    rows = [line for line in text.strip('\n').split('\n')]
    if len(rows) != size:
        raise ValueError('grid has %d rows, expected %d' % (len(rows), size))
    for y, row in enumerate(rows):
        if len(row) != size:
            raise ValueError('grid row %d has %d columns, expected %d'
                             % (y, len(row), size))
        for ch in row:
            if ch != TRANSPARENT and ch not in CHAR_INDEX:
                raise ValueError('unknown pixel character %r' % ch)
    return rows


# ---------------------------------------------------------------------------
# ICO / CUR writing
# ---------------------------------------------------------------------------

def icon_dib(rows):
    """Return the DIB (header, palette, XOR bitmap, AND mask) for one image."""
    size = len(rows)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for y in range(size - 1, -1, -1):          # bottom-up
        row = rows[y]
        xr = bytearray(xor_stride)
        ar = bytearray(and_stride)
        for x, ch in enumerate(row):
            if ch == TRANSPARENT:
                idx = 0
                ar[x >> 3] |= 0x80 >> (x & 7)
            else:
                idx = CHAR_INDEX[ch]
            if x & 1:
                xr[x >> 1] |= idx
            else:
                xr[x >> 1] |= idx << 4
        xor += xr
        mask += ar
    header = struct.pack('<IiiHHIIiiII',
                         40,            # biSize
                         size,          # biWidth
                         size * 2,      # biHeight: XOR + AND halves
                         1,             # biPlanes
                         4,             # biBitCount
                         0,             # biCompression = BI_RGB
                         len(xor) + len(mask),  # biSizeImage
                         0, 0,          # resolution
                         0, 0)          # biClrUsed, biClrImportant
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in VGA16)
    return header + palette + bytes(xor) + bytes(mask)


def icon_file(images, res_type=1, hotspots=None):
    """Build an .ico (res_type 1) or .cur (res_type 2) file.

    images: list of pixel grids.  For cursors, hotspots gives (x, y) per image.
    """
    count = len(images)
    out = struct.pack('<HHH', 0, res_type, count)
    offset = 6 + 16 * count
    blobs = []
    for i, rows in enumerate(images):
        size = len(rows)
        blob = icon_dib(rows)
        if res_type == 2:
            f1, f2 = hotspots[i]               # hot spot x, y
        else:
            f1, f2 = 1, 4                      # planes, bit count
        out += struct.pack('<BBBBHHII',
                           size & 0xFF, size & 0xFF,
                           16,                 # colours in palette
                           0, f1, f2, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    return out + b''.join(blobs)


# ---------------------------------------------------------------------------
# Bitmap font (5 wide x 7 high), drawn for the logo
# ---------------------------------------------------------------------------

FONT = {
    'Q': ['.###.', '#...#', '#...#', '#...#', '#.#.#', '#..#.', '.##.#'],
    'V': ['#...#', '#...#', '#...#', '#...#', '#...#', '.#.#.', '..#..'],
    'a': ['.....', '.....', '.###.', '....#', '.####', '#...#', '.####'],
    'c': ['.....', '.....', '.###.', '#....', '#....', '#...#', '.###.'],
    'e': ['.....', '.....', '.###.', '#...#', '#####', '#....', '.###.'],
    'i': ['..#..', '.....', '.##..', '..#..', '..#..', '..#..', '.###.'],
    'k': ['#....', '#....', '#..#.', '#.#..', '##...', '#.#..', '#..#.'],
    'l': ['.##..', '..#..', '..#..', '..#..', '..#..', '..#..', '.###.'],
    'm': ['.....', '.....', '##.#.', '#.#.#', '#.#.#', '#.#.#', '#...#'],
    'n': ['.....', '.....', '#.##.', '##..#', '#...#', '#...#', '#...#'],
    'o': ['.....', '.....', '.###.', '#...#', '#...#', '#...#', '.###.'],
    'r': ['.....', '.....', '#.##.', '##..#', '#....', '#....', '#....'],
    's': ['.....', '.....', '.####', '#....', '.###.', '....#', '####.'],
    't': ['.#...', '.#...', '###..', '.#...', '.#...', '.#..#', '..##.'],
    'u': ['.....', '.....', '#...#', '#...#', '#...#', '#..##', '.##.#'],
    'v': ['.....', '.....', '#...#', '#...#', '#...#', '.#.#.', '..#..'],
    'y': ['.....', '.....', '#...#', '#...#', '.####', '....#', '.###.'],
    ' ': ['.....'] * 7,
    '.': ['.....', '.....', '.....', '.....', '.....', '.##..', '.##..'],
    '*': ['.....', '.....', '.....', '.##..', '.##..', '.....', '.....'],
}
GLYPH_W, GLYPH_H = 5, 7


def text_width(text, scale, gap=1):
    return (len(text) * (GLYPH_W + gap) - gap) * scale


# ---------------------------------------------------------------------------
# 24-bit canvas
# ---------------------------------------------------------------------------

class Canvas:
    def __init__(self, w, h, colour):
        self.w, self.h = w, h
        self.px = [[colour] * w for _ in range(h)]

    def put(self, x, y, colour):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = colour

    def blend(self, x, y, colour, alpha):
        """alpha in 0..255"""
        if 0 <= x < self.w and 0 <= y < self.h:
            r0, g0, b0 = self.px[y][x]
            r1, g1, b1 = colour
            self.px[y][x] = ((r0 * (255 - alpha) + r1 * alpha + 127) // 255,
                             (g0 * (255 - alpha) + g1 * alpha + 127) // 255,
                             (b0 * (255 - alpha) + b1 * alpha + 127) // 255)

    def rect(self, x0, y0, w, h, colour_fn):
        """colour_fn(x, y) -> (r, g, b) or None"""
        for y in range(y0, y0 + h):
            for x in range(x0, x0 + w):
                c = colour_fn(x, y)
                if c is not None:
                    self.put(x, y, c)

    def text(self, s, x0, y0, scale, colour_fn, gap=1):
        """Draw s with the block font; colour_fn(x, y) gives each pixel."""
        cx = x0
        for ch in s:
            glyph = FONT[ch]
            for gy, line in enumerate(glyph):
                for gx, bit in enumerate(line):
                    if bit != '#':
                        continue
                    for yy in range(scale):
                        for xx in range(scale):
                            px = cx + gx * scale + xx
                            py = y0 + gy * scale + yy
                            self.put(px, py, colour_fn(px, py))
            cx += (GLYPH_W + gap) * scale

    def disc(self, cx, cy, radius, colour):
        """Anti-aliased filled circle; centre and radius in pixels
        (integers or halves), coverage by 4x4 supersampling."""
        r2 = radius * radius * 64        # in 1/8-pixel units squared
        x0 = int(cx - radius) - 1
        x1 = int(cx + radius) + 1
        y0 = int(cy - radius) - 1
        y1 = int(cy + radius) + 1
        ccx, ccy = int(cx * 8), int(cy * 8)
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                hits = 0
                for sy in range(4):
                    for sx in range(4):
                        dx = x * 8 + sx * 2 + 1 - ccx
                        dy = y * 8 + sy * 2 + 1 - ccy
                        if dx * dx + dy * dy <= r2:
                            hits += 1
                if hits:
                    self.blend(x, y, colour, hits * 255 // 16)

    def png24(self):
        """8-bit RGB PNG with no colour-space chunks, so that every decoder
        gives back exactly these pixels.  Each row takes the filter whose
        output compresses best on its own, by the usual sum of magnitudes."""
        prev = bytes(self.w * 3)
        body = bytearray()
        for row in self.px:
            cur = bytes(v for c in row for v in c)
            body += min((png_filter(t, cur, prev) for t in range(5)),
                        key=lambda f: sum(min(v, 256 - v) for v in f[1:]))
            prev = cur
        def chunk(kind, data):
            return (struct.pack('>I', len(data)) + kind + data +
                    struct.pack('>I', zlib.crc32(kind + data)))
        return (b'\x89PNG\r\n\x1a\n' +
                chunk(b'IHDR', struct.pack('>IIBBBBB', self.w, self.h, 8, 2,
                                           0, 0, 0)) +
                chunk(b'IDAT', zlib.compress(bytes(body), 9)) +
                chunk(b'IEND', b''))


def png_filter(kind, cur, prev, bpp=3):
    """One PNG row filtered with filter type kind (0 to 4), type byte first."""
    out = bytearray([kind])
    for i, x in enumerate(cur):
        a = cur[i - bpp] if i >= bpp else 0
        b = prev[i]
        c = prev[i - bpp] if i >= bpp else 0
        if kind == 0:
            p = 0
        elif kind == 1:
            p = a
        elif kind == 2:
            p = b
        elif kind == 3:
            p = (a + b) // 2
        else:
            pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
            p = a if pa <= pb and pa <= pc else b if pb <= pc else c
        out.append((x - p) & 0xFF)
    return bytes(out)


def lerp(c0, c1, num, den):
    return tuple((a * (den - num) + b * num + den // 2) // den
                 for a, b in zip(c0, c1))


def gradient3(c0, c1, c2, num, den):
    """Two-segment gradient c0 -> c1 -> c2 at position num/den."""
    half = den // 2
    if num <= half:
        return lerp(c0, c1, num, half)
    return lerp(c1, c2, num - half, den - half)


# ---------------------------------------------------------------------------
# Logo
# ---------------------------------------------------------------------------

LOGO_W, LOGO_H = 340, 185

NAVY = (0x1B, 0x2A, 0x6B)
BLUE = (0x25, 0x5F, 0xD9)
TEAL = (0x14, 0xA3, 0xB8)
SKY = (0x7F, 0xD6, 0xF0)
GREY = (0x6B, 0x72, 0x80)
WHITE = (0xFF, 0xFF, 0xFF)

# The quill picture re-coloured with a softer 24-bit palette for the logo.
LOGO_ICON_COLOURS = {
    'b': NAVY, 'B': BLUE, 'C': SKY, 'W': WHITE,
    'l': (0xC4, 0xCB, 0xD6), 'd': (0x70, 0x78, 0x88), 'K': (0x1A, 0x1D, 0x26),
    'R': (0xE0, 0x3A, 0x3A),
}


def make_logo():
    cv = Canvas(LOGO_W, LOGO_H, WHITE)

    # Very light wash towards the bottom of the card.
    wash_top = 112
    cv.rect(0, wash_top, LOGO_W, LOGO_H - wash_top,
            lambda x, y: lerp(WHITE, (0xEC, 0xF3, 0xFB),
                              y - wash_top, LOGO_H - 1 - wash_top))

    # A dotted "pointer trail" curving across the wash, dots growing as it
    # travels, ending at the right.
    trail = [(30, 160, 1.0), (48, 156, 1.0), (66, 153, 1.5), (85, 151, 1.5),
             (105, 150, 1.5), (125, 150, 2.0), (146, 151, 2.0),
             (167, 153, 2.0), (188, 154, 2.5), (210, 154, 2.5),
             (232, 152, 2.5), (253, 148, 3.0), (273, 142, 3.0)]
    for i, (x, y, r) in enumerate(trail):
        c = lerp(SKY, BLUE, i, len(trail) - 1)
        cv.disc(x, y, r, c)
    # ...and the pointer that left it.
    arrow = [line for line in ARROW_SMALL.strip('\n').split('\n')]
    ax, ay = 290, 132
    for y, row in enumerate(arrow):
        for x, ch in enumerate(row):
            if ch == 'K':
                cv.put(ax + x, ay + y, NAVY)
            elif ch == 'W':
                cv.put(ax + x, ay + y, WHITE)

    # Quill icon, pixel-doubled, on the left.
    icon = parse_grid(ICON_32, 32)
    ix, iy, s = 22, 26, 2
    for y, row in enumerate(icon):
        for x, ch in enumerate(row):
            if ch == TRANSPARENT:
                continue
            cv.rect(ix + x * s, iy + y * s, s, s,
                    lambda _x, _y, c=LOGO_ICON_COLOURS[ch]: c)

    tx = 102
    # Maker's name, small, spaced out, grey.
    maker = 'Velturn'
    cv.text(maker, tx + 2, 34, 2, lambda x, y: GREY, gap=2)
    # Thin rule after the maker's name.
    rule_x = tx + 2 + text_width(maker, 2, gap=2) + 10
    cv.rect(rule_x, 40, 316 - rule_x, 2,
            lambda x, y: lerp((0xD5, 0xDA, 0xE3), WHITE, x - rule_x,
                              316 - rule_x))

    # Product name: big, with a soft shadow and a vertical gradient.
    name = 'Quillmark'
    scale = 4
    ny = 56
    nh = GLYPH_H * scale
    cv.text(name, tx + 2, ny + 2, scale, lambda x, y: (0xD6, 0xE2, 0xF5))
    cv.text(name, tx, ny, scale,
            lambda x, y: gradient3(NAVY, BLUE, TEAL, y - ny, nh - 1))

    # Accent bar under the name.
    bar_w = text_width(name, scale)
    cv.rect(tx, ny + nh + 9, bar_w, 4,
            lambda x, y: gradient3(NAVY, BLUE, TEAL, x - tx, bar_w - 1))

    # Tag line.
    tag = 'mouse travel * clicks * keys'
    cv.text(tag, tx, ny + nh + 22, 1, lambda x, y: GREY, gap=1)
    return cv


# ---------------------------------------------------------------------------
# Main
# ---------------------------------------------------------------------------

def build_all():
    icon32 = parse_grid(ICON_32, 32)
    icon16 = parse_grid(ICON_16, 16)
    hand = parse_grid(HAND_CURSOR, 32)
    hx, hy = HAND_HOTSPOT
    if hand[hy][hx] == TRANSPARENT or hand[hy - 1][hx] != TRANSPARENT:
        raise ValueError('hot spot is not on the fingertip')
    return {
        'quillmark.ico': icon_file([icon32, icon16]),
        'tray.ico': icon_file([icon16]),
        'hand.cur': icon_file([hand], res_type=2, hotspots=[HAND_HOTSPOT]),
        'logo.png': make_logo().png24(),
    }


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = argv[1] if len(argv) > 1 else os.path.join(here, '..', 'ui', 'res')
    out_dir = os.path.normpath(out_dir)
    os.makedirs(out_dir, exist_ok=True)
    for name, data in sorted(build_all().items()):
        path = os.path.join(out_dir, name)
        with open(path, 'wb') as f:
            f.write(data)
        print('wrote %s (%d bytes)' % (path, len(data)))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
