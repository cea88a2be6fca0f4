#!/usr/bin/env python3
"""Draws the program's icon, a sword lying over an open ledger, as
widgets/icon/org.gearledger.Gearledger.svg and as PNG files of 16, 32, 48, 64, 128
and 256 pixels (widgets/icon/org.gearledger.Gearledger-SIZE.png).

The picture is a list of filled shapes on a 256 x 256 grid; the SVG holds those
shapes and the PNG files are rendered from the very same shapes by the small
rasteriser below (standard library only). The 16 and 32 pixel files are drawn
pixel by pixel instead, so that the sword and the book stay sharp there.

Run it from the repository's top folder after changing the drawing; the
outputs are committed, so building never needs Python. With --preview FOLDER
it also writes preview.png there: every size enlarged, on a light and on a
dark background.
"""
import math
import struct
import sys
import zlib
from pathlib import Path

APP_ID = "org.gearledger.Gearledger"
SIZES = (16, 32, 48, 64, 128, 256)
GRID = 256

INK = "#2B1B14"          # outlines
LEATHER = "#7A2E22"      # the ledger's cover
PAGE = "#FBF3DC"
PAGE_SHADE = "#EADCB4"   # towards the spine
PAGE_EDGES = "#D9C48E"   # the block of pages seen from the front
RULE = "#7C97B5"         # ruled lines
MARGIN = "#C8453A"       # the red column line
STEEL_LIGHT = "#F2F5F8"
STEEL = "#C3CCD6"
STEEL_DARK = "#7F8C9A"
GOLD = "#E3B23C"
GOLD_DARK = "#A8761C"
GRIP = "#5C3A21"
GRIP_BAND = "#8A5A32"
SHADOW = ("#000000", 0.28)


# ---------------------------------------------------------------- geometry

def quad(p0, c, p1, steps=16):
    """Points of a quadratic curve from p0 to p1 pulled towards c (p0 left out)."""
    out = []
    for i in range(1, steps + 1):
        t = i / steps
        a, b, d = (1 - t) ** 2, 2 * (1 - t) * t, t * t
        out.append((a * p0[0] + b * c[0] + d * p1[0], a * p0[1] + b * c[1] + d * p1[1]))
    return out


def circle(cx, cy, r, steps=40):
    return [(cx + r * math.cos(2 * math.pi * i / steps), cy + r * math.sin(2 * math.pi * i / steps))
            for i in range(steps)]


def area(poly):
    return sum(poly[i][0] * poly[(i + 1) % len(poly)][1] - poly[(i + 1) % len(poly)][0] * poly[i][1]
               for i in range(len(poly))) / 2


def inset(poly, d):
    """The polygon moved inwards by d on every edge (mitred corners)."""
    n = len(poly)
    sign = 1 if area(poly) > 0 else -1
    lines = []
    for i in range(n):
        (x0, y0), (x1, y1) = poly[i], poly[(i + 1) % n]
        length = math.hypot(x1 - x0, y1 - y0) or 1
        nx, ny = -(y1 - y0) / length * sign, (x1 - x0) / length * sign
        lines.append(((x0 + d * nx, y0 + d * ny), (x1 - x0, y1 - y0)))
    out = []
    for i in range(n):
        (p, r), (q, s) = lines[i - 1], lines[i]
        cross = r[0] * s[1] - r[1] * s[0]
        if abs(cross) < 1e-9:
            out.append(q)
            continue
        t = ((q[0] - p[0]) * s[1] - (q[1] - p[1]) * s[0]) / cross
        out.append((p[0] + t * r[0], p[1] + t * r[1]))
    return out


def strip(points, width):
    """A band of the given width along a line through the points."""
    half = width / 2
    left, right = [], []
    for i, (x, y) in enumerate(points):
        a = points[max(i - 1, 0)]
        b = points[min(i + 1, len(points) - 1)]
        length = math.hypot(b[0] - a[0], b[1] - a[1]) or 1
        nx, ny = -(b[1] - a[1]) / length, (b[0] - a[0]) / length
        left.append((x + half * nx, y + half * ny))
        right.append((x - half * nx, y - half * ny))
    return left + right[::-1]


def mirror(poly):
    return [(GRID - x, y) for x, y in poly][::-1]


class Picture:
    """Filled shapes, painted in order; each is (colour, opacity, contours)."""

    def __init__(self):
        self.shapes = []

    def fill(self, colour, *contours, opacity=1.0):
        self.shapes.append((colour, opacity, [list(c) for c in contours]))

    def outlined(self, colour, poly, width):
        self.fill(INK, poly)
        self.fill(colour, inset(poly, width))


# ---------------------------------------------------------------- the drawing

def page_polygon(top, bottom):
    """A left-hand page between two curves, each (outer point, pull, spine point)."""
    (ot, top_c, st), (ob, bottom_c, sb) = top, bottom
    return [ot] + quad(ot, top_c, st) + [sb] + quad(sb, bottom_c, ob)[:-1] + [ob]


def on_page(top, bottom, u, t):
    """The point u of the way from the outer edge to the spine and t of the way down."""
    def bez(curve):
        (p0, c, p1) = curve
        return [(1 - u) ** 2 * p0[i] + 2 * (1 - u) * u * c[i] + u * u * p1[i] for i in (0, 1)]
    a, b = bez(top), bez(bottom)
    return (a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t)


def ledger(pic):
    """An open ledger seen from the front and a little from above: both pages
    bow up from the spine."""
    ink = 5
    cover = ([(4, 84)] + quad((4, 84), (70, 66), (128, 100)) + quad((128, 100), (186, 66), (252, 84))
             + [(252, 212)] + quad((252, 212), (186, 194), (128, 228)) + quad((128, 228), (70, 194), (4, 212)))
    pic.outlined(LEATHER, cover, ink)

    block = page_polygon(((16, 76), (72, 56), (128, 92)), ((16, 202), (72, 182), (128, 218)))
    pic.outlined(PAGE_EDGES, block, ink)
    pic.outlined(PAGE_EDGES, mirror(block), ink)

    top, bottom = ((18, 70), (74, 50), (128, 86)), ((18, 190), (74, 170), (128, 206))
    page = page_polygon(top, bottom)
    pic.outlined(PAGE, page, ink)
    pic.outlined(PAGE, mirror(page), ink)
    # The paper darkens into the fold.
    fold = [on_page(top, bottom, u, 0) for u in (0.8, 0.9, 1)] + [on_page(top, bottom, u, 1) for u in (1, 0.9, 0.8)]
    pic.fill(PAGE_SHADE, inset(fold, 4))
    pic.fill(PAGE_SHADE, inset(mirror(fold), 4))

    # Ruled lines, and the red line of the item column on each page.
    for t in (0.22, 0.36, 0.5, 0.64, 0.78):
        rule = strip([on_page(top, bottom, 0.12 + 0.076 * i, t) for i in range(11)], 4)
        pic.fill(RULE, rule)
        pic.fill(RULE, mirror(rule))
    column = strip([on_page(top, bottom, 0.34, t) for t in (0.1, 0.92)], 4)
    pic.fill(MARGIN, column)
    pic.fill(MARGIN, mirror(column))


def sword(pic):
    """A sword lying across the ledger from lower left to upper right, casting
    a shadow on the pages."""
    ux, uy = 1 / math.sqrt(2), -1 / math.sqrt(2)    # along the blade
    vx, vy = -uy, ux                                 # across it, towards lower right

    def at(s, w):
        return (44 + s * ux + w * vx, 218 + s * uy + w * vy)

    ink, tip = 5, 264
    blade = [at(58, -13), at(226, -13), at(tip, 0), at(226, 13), at(58, 13)]
    guard = [at(48, -36), at(43, -46), at(67, -46), at(62, -36),
             at(62, 36), at(67, 46), at(43, 46), at(48, 36)]
    grip = [at(4, -8), at(48, -8), at(48, 8), at(4, 8)]
    pommel = circle(*at(0, 0), 14)

    for part in (blade, guard, grip, pommel):
        pic.fill(SHADOW[0], [(x + 7, y + 9) for x, y in part], opacity=SHADOW[1])
    pic.outlined(STEEL, blade, ink)
    # The blade's upper bevel catches the light; a dark ridge runs to the point.
    inner = inset(blade, ink)
    pic.fill(STEEL_LIGHT, [inner[0], inner[1], at(tip - 10, 0), at(62, 0)])
    pic.fill(STEEL_DARK, strip([at(64, 0), at(tip - 14, 0)], 3))
    pic.outlined(GRIP, grip, ink)
    for s in (14, 24, 34):
        pic.fill(GRIP_BAND, strip([at(s, -8 + ink), at(s + 4, 8 - ink)], 4))
    pic.outlined(GOLD, guard, ink)
    pic.outlined(GOLD, pommel, ink)
    pic.fill(GOLD_DARK, circle(*at(2, 3), 5))
    pic.fill(GOLD, circle(*at(-1, -1), 3))


def icon():
    pic = Picture()
    ledger(pic)
    sword(pic)
    return pic


# ---------------------------------------------------------------- the small sizes, pixel by pixel

PIXEL_COLOURS = {
    "k": INK, "c": LEATHER, "p": PAGE, "h": PAGE_SHADE, "e": PAGE_EDGES, "r": RULE, "m": MARGIN,
    "l": STEEL_LIGHT, "s": STEEL, "S": STEEL_DARK, "g": GOLD, "G": GOLD_DARK, "b": GRIP, "B": GRIP_BAND,
}


class Pixels:
    def __init__(self, size):
        self.size = size
        self.px = [["."] * size for _ in range(size)]

    def set(self, x, y, c):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.px[y][x] = c

    def diagonal(self, d, x0, x1, c):
        """The pixels x + y = d from x0 to x1: a line from lower left to upper right."""
        for x in range(x0, x1 + 1):
            self.set(x, d - x, c)

    def rows(self):
        def rgba(c):
            if c == ".":
                return (0, 0, 0, 0)
            value = PIXEL_COLOURS[c]
            return tuple(int(value[i:i + 2], 16) for i in (1, 3, 5)) + (255,)
        return [[rgba(c) for c in row] for row in self.px]


def icon16():
    pic = Pixels(16)
    book = [
        "................",
        "................",
        "................",
        ".kkkk......kkkk.",
        "kppppkk..kkppppk",
        "kppppppkhppppppk",
        "kprrrrpkhprrrrpk",
        "kppppppkhppppppk",
        "kprrrrpkhprrrrpk",
        "kppppppkhppppppk",
        "kprrrrpkhprrrrpk",
        "kppppppkhppppppk",
        "keeeeppkhppeeeek",
        "kcccceekkeecccck",
        ".kkkkcckkcckkkk.",
        ".....kkkkkk.....",
    ]
    pic.px = [list(row) for row in book]
    pic.diagonal(14, 5, 14, "k")
    pic.diagonal(15, 5, 14, "l")
    pic.diagonal(16, 6, 14, "s")
    pic.diagonal(17, 7, 15, "k")
    pic.set(15, 0, "k")
    for x, y in [(2, 9), (6, 13), (3, 9), (4, 10), (5, 11), (6, 12), (2, 10), (3, 11), (5, 13)]:
        pic.set(x, y, "k")
    for x, y in [(3, 10), (4, 11), (5, 12)]:
        pic.set(x, y, "g")
    for x, y in [(3, 12), (2, 13)]:
        pic.set(x, y, "b")
    for x, y in [(2, 12), (1, 13), (3, 13), (4, 12), (2, 14), (0, 14), (1, 15), (0, 13), (0, 15)]:
        pic.set(x, y, "k")
    pic.set(1, 14, "g")
    return pic


def icon32():
    pic = Pixels(32)
    top = [10, 10, 9, 9, 8, 8, 8, 8, 8, 9, 9, 10, 10, 11, 11, 12]  # a page's top edge, column by column
    height = 15
    for mirrored in (False, True):
        def column(x):
            return 31 - x if mirrored else x
        for x in range(16):
            t = top[x]
            # The outer edge and the spine are lines of ink; the right page's
            # paper darkens into the fold.
            ink_only = x == 0 or (x == 15 and not mirrored)
            paper = "k" if ink_only else ("h" if x == 15 else "p")
            pic.set(column(x), t, "k")
            for y in range(t + 1, t + height):
                pic.set(column(x), y, paper)
            # Under the page: its bottom edge, the block of pages, the cover.
            for k, c in enumerate("kekck"):
                pic.set(column(x), t + height + k, "k" if ink_only else c)
        for x in range(3, 14):
            for k in (4, 7, 10, 13):
                pic.set(column(x), top[x] + k, "r")
        for y in range(top[5] + 2, top[5] + height - 1):
            pic.set(column(5), y, "m")
    # The blade, its point at the top right.
    pic.diagonal(29, 10, 28, "k")
    pic.diagonal(30, 10, 29, "l")
    pic.diagonal(31, 11, 29, "s")
    pic.diagonal(32, 12, 30, "S")
    pic.diagonal(33, 13, 31, "k")
    for x, y, c in [(29, 0, "k"), (30, 0, "k"), (30, 1, "S"), (31, 1, "k"), (31, 0, ".")]:
        pic.set(x, y, c)
    # The cross-guard across the blade's foot.
    for x in range(5, 14):
        pic.set(x, x + 13, "g")
        pic.set(x + 1, x + 13, "G")
        if x < 7 or x > 10:
            pic.set(x, x + 14, "k")
    for x in range(6, 15):
        if x < 8 or x > 11:
            pic.set(x, x + 11, "k")
    for x, y in [(4, 17), (4, 18), (5, 17), (14, 27), (15, 27), (15, 26), (14, 25), (5, 19)]:
        pic.set(x, y, "k")
    # The grip, wound with a band, and the pommel.
    for x in range(5, 9):
        pic.set(x, 31 - x, "b")
        pic.set(x + 1, 31 - x, "b")
    for x in range(4, 9):
        pic.set(x, 30 - x, "k")
        pic.set(x + 2, 31 - x, "k")
    pic.set(6, 25, "B")
    pic.set(7, 24, "B")
    for x, y in [(3, 27), (2, 28), (4, 28), (3, 29), (4, 27), (2, 29), (4, 29)]:
        pic.set(x, y, "g")
    pic.set(3, 28, "G")
    for x, y in [(3, 26), (2, 27), (1, 28), (2, 30), (3, 30), (4, 30), (5, 29), (5, 28), (1, 29), (2, 26), (4, 26)]:
        pic.set(x, y, "k")
    return pic


# ---------------------------------------------------------------- output

def svg(pic):
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">'
           % (GRID, GRID, GRID, GRID),
           '<title>Gearledger</title>']
    for colour, opacity, contours in pic.shapes:
        d = " ".join("M" + " L".join("%.2f %.2f" % p for p in c) + " Z" for c in contours)
        extra = ' fill-opacity="%.2f"' % opacity if opacity < 1 else ""
        out.append('<path fill="%s"%s fill-rule="evenodd" d="%s"/>' % (colour, extra, d))
    out.append("</svg>")
    return "\n".join(out) + "\n"


def rgb(colour):
    return tuple(int(colour[i:i + 2], 16) / 255 for i in (1, 3, 5))


def render(pic, size):
    """Premultiplied RGBA floats, row by row: each shape's exact horizontal
    coverage, sampled on 16 rows per pixel, painted over what is there."""
    sub = 16
    scale = size / GRID
    canvas = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]
    for colour, opacity, contours in pic.shapes:
        edges = []
        for c in contours:
            pts = [(x * scale, y * scale) for x, y in c]
            for i in range(len(pts)):
                (x0, y0), (x1, y1) = pts[i], pts[(i + 1) % len(pts)]
                if y0 != y1:
                    edges.append((x0, y0, x1, y1))
        cover = [0.0] * (size * size)
        low = max(0, int(min(min(e[1], e[3]) for e in edges) * sub))
        high = min(size * sub, int(max(max(e[1], e[3]) for e in edges) * sub) + 1)
        for sy in range(low, high):
            y = (sy + 0.5) / sub
            xs = sorted(x0 + (y - y0) * (x1 - x0) / (y1 - y0)
                        for x0, y0, x1, y1 in edges if (y0 <= y < y1) or (y1 <= y < y0))
            base = int(y) * size
            for a, b in zip(xs[0::2], xs[1::2]):
                a, b = max(a, 0.0), min(b, float(size))
                for px in range(int(a), min(int(math.ceil(b)), size)):
                    covered = min(b, px + 1) - max(a, px)
                    if covered > 0:
                        cover[base + px] += covered / sub
        r, g, b = rgb(colour)
        for i, c in enumerate(cover):
            if c > 0:
                k = min(c, 1.0) * opacity
                p = canvas[i]
                p[0] = r * k + p[0] * (1 - k)
                p[1] = g * k + p[1] * (1 - k)
                p[2] = b * k + p[2] * (1 - k)
                p[3] = k + p[3] * (1 - k)
    return canvas


def png(width, height, rows):
    """rows: lists of (r, g, b, a) byte tuples."""
    raw = b"".join(b"\x00" + b"".join(bytes(p) for p in row) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def straight(p):
    """A premultiplied float pixel as straight RGBA bytes."""
    a = p[3]
    if a <= 0:
        return (0, 0, 0, 0)
    return tuple(round(min(c / a, 1.0) * 255) for c in p[:3]) + (round(a * 255),)


def rows_of(canvas, size):
    return [[straight(canvas[y * size + x]) for x in range(size)] for y in range(size)]


def preview(images):
    """Every size enlarged to 256 pixels, over a light and over a dark backdrop."""
    gap, side = 8, GRID
    width = len(images) * (side + gap) + gap
    height = 2 * (side + gap) + gap
    sheet = [[(255, 255, 255, 255)] * width for _ in range(height)]
    for band, backdrop in enumerate(((236, 236, 236), (48, 52, 58))):
        for n, (size, rows) in enumerate(images):
            for y in range(side):
                for x in range(side):
                    r, g, b, a = rows[y * size // side][x * size // side]
                    k = a / 255
                    sheet[gap + band * (side + gap) + y][gap + n * (side + gap) + x] = tuple(
                        round(c * k + d * (1 - k)) for c, d in zip((r, g, b), backdrop)) + (255,)
    return png(width, height, sheet)


def main():
    out = Path("widgets/icon")
    out.mkdir(parents=True, exist_ok=True)
    picture = icon()
    (out / (APP_ID + ".svg")).write_text(svg(picture))
    small = {16: icon16(), 32: icon32()}
    images = []
    for size in SIZES:
        rows = small[size].rows() if size in small else rows_of(render(picture, size), size)
        (out / ("%s-%d.png" % (APP_ID, size))).write_bytes(png(size, size, rows))
        images.append((size, rows))
    if len(sys.argv) == 3 and sys.argv[1] == "--preview":
        (Path(sys.argv[2]) / "preview.png").write_bytes(preview(images))


if __name__ == "__main__":
    main()
