#!/usr/bin/env python3
"""Draws the two pictures of the Current Database window as XPM files:
windows/pictures/filing_cabinet.xpm (a filing cabinet with an open drawer) and
windows/pictures/waste_bin.xpm (a waste bin), 32 x 32 pixels placed by hand,
and their versions for denser screens: NAME@2x.xpm, 64 x 64, for a device
pixel ratio of 2, and NAME@1.5x.xpm, 48 x 48, for 1.5. These are not enlarged
copies: they are drawn from outlines given on the same 32-unit grid, filled at
two (or one and a half) pixels a unit with outlines one pixel wide, so they
carry finer detail and stay sharp.

Run it from the repository's top folder after changing a drawing; the XPM files
are committed, so building never needs Python. With --preview FOLDER it also
writes enlarged PNG previews there.
"""
import struct
import sys
import zlib
from pathlib import Path

SIZE = 32
PALETTE = {
    ".": None,        # transparent
    "k": "#000000",   # outline
    "d": "#5A5A5A",   # shadowed metal
    "g": "#9A9A9A",   # metal
    "l": "#D0D0D0",   # lit metal
    "w": "#FFFFFF",   # paper
    "y": "#F0D060",   # folder tabs
    "h": "#303030",   # the dark inside
}


class Canvas:
    def __init__(self, size=SIZE):
        self.size = size
        self.px = [["."] * size for _ in range(size)]

    def set(self, x, y, c):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, fill, outline="k"):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                edge = x in (x0, x1) or y in (y0, y1)
                self.set(x, y, outline if edge and outline else fill)

    def hline(self, x0, x1, y, c):
        for x in range(x0, x1 + 1):
            self.set(x, y, c)

    def vline(self, x, y0, y1, c):
        for y in range(y0, y1 + 1):
            self.set(x, y, c)


def closed_drawer(cv, top):
    """A drawer front with its label holder and handle, 7 rows high."""
    cv.rect(6, top, 19, top + 6, "g")
    cv.rect(10, top + 1, 15, top + 2, "w")
    cv.hline(10, 15, top + 4, "k")
    cv.set(10, top + 5, "k")
    cv.set(15, top + 5, "k")


def filing_cabinet():
    cv = Canvas()
    # The cabinet seen from the front left: front face, right side going back
    # up to the right, and the top.
    depth = 5
    front_top, front_bottom = 6, 30
    for i in range(1, depth + 1):  # side face, one column per step of depth
        x = 20 + i
        cv.vline(x, front_top - i, front_bottom - i, "d")
        cv.set(x, front_top - i, "k")
        cv.set(x, front_bottom - i, "k")
    cv.vline(20 + depth, front_top - depth, front_bottom - depth, "k")
    for i in range(1, depth + 1):  # top face
        cv.hline(5 + i, 19 + i, front_top - i, "l")
        cv.set(5 + i, front_top - i, "k")
    cv.hline(5 + depth, 20 + depth, front_top - depth, "k")
    cv.rect(5, front_top, 20, front_bottom, "g")
    closed_drawer(cv, 7)
    closed_drawer(cv, 23)
    # The middle drawer stands open: a dark opening in the cabinet, the drawer
    # pulled out towards the viewer (down and to the left), full of folders.
    cv.rect(6, 15, 19, 21, "h")
    pull = 3
    for i in range(pull + 1):  # the drawer's top edge running back into the cabinet
        cv.hline(6 - i, 19 - i, 14 + i, "w" if i % 2 else "y")
        cv.set(6 - i, 14 + i, "k")
        cv.set(19 - i, 14 + i, "k")
    for x in (8, 11, 14, 17):  # folder tabs sticking up
        cv.set(x - 1, 13, "y")
        cv.set(x, 13, "y")
        cv.set(x - 1, 12, "k")
        cv.set(x, 12, "k")
    cv.rect(6 - pull, 18, 19 - pull, 24, "l")
    cv.hline(7 - pull + 3, 12, 21, "k")
    cv.set(7, 22, "k")
    cv.set(12, 22, "k")
    return cv


def waste_bin():
    cv = Canvas()
    top, bottom = 6, 30
    # A round bin, narrower at the bottom: for each row the left and right edge.
    for y in range(top, bottom + 1):
        inset = (y - top) * 4 // (bottom - top)
        left, right = 5 + inset, 26 - inset
        cv.hline(left, right, y, "g")
        cv.set(left, y, "k")
        cv.set(right, y, "k")
        cv.set(left + 1, y, "l")
        cv.set(right - 1, y, "d")
        cv.set(right - 2, y, "d")
        for share in (0.27, 0.43, 0.57, 0.73):  # ribs, closer together towards the bottom
            x_top, x_bottom = 5 + share * 21, 9 + share * 13
            cv.set(round(x_top + (x_bottom - x_top) * (y - top) / (bottom - top)), y, "d")
    cv.hline(9, 22, bottom, "k")
    # The rim: an ellipse seen slightly from above, dark inside.
    cv.hline(8, 23, 3, "k")
    cv.hline(6, 25, 4, "l")
    cv.set(5, 4, "k")
    cv.set(26, 4, "k")
    cv.hline(7, 24, 5, "h")
    cv.set(4, 5, "k")
    cv.set(27, 5, "k")
    cv.set(5, 5, "l")
    cv.set(6, 5, "l")
    cv.set(25, 5, "l")
    cv.set(26, 5, "l")
    cv.hline(5, 26, 6, "l")
    cv.set(4, 6, "k")
    cv.set(27, 6, "k")
    cv.hline(6, 25, 7, "k")
    cv.set(5, 7, "k")
    cv.set(26, 7, "k")
    # A crumpled sheet of paper thrown in.
    for x, y in [(13, 1), (14, 1), (16, 1), (12, 2), (13, 2), (14, 2), (15, 2), (16, 2), (17, 2),
                 (11, 3), (12, 3), (13, 3), (14, 3), (15, 3), (16, 3), (17, 3), (18, 3),
                 (11, 4), (12, 4), (13, 4), (14, 4), (15, 4), (16, 4), (17, 4), (18, 4)]:
        cv.set(x, y, "w")
    for x, y in [(12, 0), (13, 0), (14, 0), (15, 0), (16, 0), (17, 1), (15, 1), (11, 1), (12, 1),
                 (10, 2), (18, 2), (10, 3), (19, 3), (10, 4), (19, 4), (14, 3), (16, 4)]:
        cv.set(x, y, "k")
    return cv


class Outlines:
    """A drawing from shapes on the 32-unit grid, filled at `scale` pixels a
    unit. A pixel belongs to a shape when its centre lies inside. A shape with
    an outline colour is solid: its pixels next to the background or to a shape
    drawn before it take the outline colour, so where two solid shapes meet the
    line is one pixel wide, in the shape in front. A shape without an outline
    and a line are paint: they colour what is drawn before them and keep the
    outlines. Everything is drawn in the order given."""

    def __init__(self, scale):
        self.scale = scale
        self.size = round(SIZE * scale)
        self.ops = []

    def polygon(self, points, fill, outline="k"):
        self.ops.append(("shape", self._inside_polygon(points), fill, outline))

    def rect(self, x0, y0, x1, y1, fill, outline="k"):
        self.polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], fill, outline)

    def ellipse(self, cx, cy, rx, ry, fill, outline="k"):
        self.ops.append(("shape", lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1, fill, outline))

    def line(self, x0, y0, x1, y1, colour):
        """A line one pixel wide between two points of the grid."""
        s = self.scale
        a = (int(x0 * s), int(y0 * s))
        b = (int(x1 * s), int(y1 * s))
        steps = max(abs(b[0] - a[0]), abs(b[1] - a[1]), 1)
        pixels = {(round(a[0] + (b[0] - a[0]) * i / steps), round(a[1] + (b[1] - a[1]) * i / steps))
                  for i in range(steps + 1)}
        self.ops.append(("paint", lambda x, y: (int(x * s), int(y * s)) in pixels, colour, None))

    @staticmethod
    def _inside_polygon(points):
        def inside(x, y):
            result = False
            for (xa, ya), (xb, yb) in zip(points, points[1:] + points[:1]):
                if (ya > y) != (yb > y) and x < xa + (y - ya) * (xb - xa) / (yb - ya):
                    result = not result
            return result
        return inside

    def canvas(self):
        n, s = self.size, self.scale
        centres = [[((x + 0.5) / s, (y + 0.5) / s) for x in range(n)] for y in range(n)]
        owner = [[-1] * n for _ in range(n)]  # the solid shape in front at each pixel
        for index, (kind, inside, _, outline) in enumerate(self.ops):
            if kind == "shape" and outline:
                for y in range(n):
                    for x in range(n):
                        if inside(*centres[y][x]):
                            owner[y][x] = index

        def edge(x, y):
            me = owner[y][x]
            for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)):
                other = owner[ny][nx] if 0 <= nx < n and 0 <= ny < n else -1
                if other < me:
                    return True
            return False

        cv = Canvas(n)
        for y in range(n):
            for x in range(n):
                me = owner[y][x]
                if me < 0:
                    continue
                _, _, fill, outline = self.ops[me]
                cv.px[y][x] = outline if edge(x, y) else fill
        for index, (kind, inside, fill, outline) in enumerate(self.ops):
            if kind == "shape" and outline:
                continue
            for y in range(n):
                for x in range(n):
                    if inside(*centres[y][x]) and owner[y][x] < index and not (owner[y][x] >= 0 and edge(x, y)):
                        cv.px[y][x] = fill
        return cv


def fine_drawer_front(d, left, top, right, bottom, fill="g"):
    """A drawer front with a label holder and a handle bar."""
    d.rect(left, top, right, bottom, fill)
    middle = (left + right) / 2
    d.rect(middle - 3, top + 1, middle + 3, top + 3, "w")
    d.line(middle - 2, top + 2, middle + 1, top + 2, "g")  # the label's writing
    d.rect(middle - 3, top + 4.5, middle + 3, top + 6, "l" if fill == "g" else "g")


def fine_filing_cabinet(scale):
    d = Outlines(scale)
    # The cabinet from the front left: its top, its right side going back up
    # to the right, then its front.
    d.polygon([(5, 6), (10, 1), (26, 1), (21, 6)], "l")
    d.polygon([(21, 6), (26, 1), (26, 26), (21, 31)], "d")
    d.line(22, 8, 25, 5, "g")  # a glint along the side
    d.rect(5, 6, 21, 31, "g")
    fine_drawer_front(d, 6, 7, 20, 14)
    fine_drawer_front(d, 6, 23, 20, 30)
    # The middle drawer stands open: a dark opening, the drawer pulled out
    # towards the viewer (down and to the left), its right side and its
    # folders showing.
    d.rect(6, 15, 20, 22, "h")
    for i, x in enumerate((7, 10, 13, 16)):  # folder tabs sticking up, staggered
        d.rect(x + i * 0.5 - 1, 12 + i * 0.5, x + i * 0.5 + 1.5, 15, "y")
    d.polygon([(3, 18), (6, 15), (20, 15), (17, 18)], "y")
    for step in range(1, 6):  # the edges of the folders, one behind the other
        y = 15 + step * 0.5
        d.line(6.5 - step * 0.5, y, 19.5 - step * 0.5, y, "w" if step % 2 else "k")
    d.polygon([(17, 18), (20, 15), (20, 22), (17, 25)], "d")
    fine_drawer_front(d, 3, 18, 17, 25, "l")  # lit, out in the open
    return d.canvas()


def fine_waste_bin(scale):
    d = Outlines(scale)
    # A round bin, narrower at the bottom, with a lit left edge, a shaded right
    # side and fluted ribs.
    d.polygon([(5, 6), (27, 6), (23, 31), (9, 31)], "g")
    d.polygon([(22.5, 6), (27, 6), (23, 31), (20.5, 31)], "d", None)
    d.line(6.5, 7, 10.5, 30, "l")
    for share in (0.27, 0.43, 0.57, 0.73):  # ribs, closer together towards the bottom
        x_top, x_bottom = 5 + share * 22, 9 + share * 14
        d.line(x_top, 7, x_bottom, 30, "d")
        d.line(x_top + 0.5, 7, x_bottom + 0.5, 30, "l")
    # The rim: an ellipse seen slightly from above, dark inside, and a crumpled
    # sheet of paper thrown in.
    d.ellipse(16, 5.5, 12, 2.5, "l")
    d.ellipse(16, 5.5, 10.5, 1.5, "h", None)
    d.polygon([(10.5, 5.5), (10.5, 3), (12, 1), (15, 0.5), (17.5, 0.5), (19, 1.5), (20, 3.5), (20.5, 5.5)], "w")
    d.line(13, 2, 15, 3.5, "k")  # creases
    d.line(15, 3.5, 17.5, 2, "k")
    d.line(16.5, 4, 19, 4.5, "k")
    d.line(12, 4, 13.5, 4.5, "l")
    return d.canvas()


def xpm(name, cv):
    used = [c for c in PALETTE if any(c in row for row in cv.px)]
    lines = ["/* XPM */", "static const char *const %s[] = {" % name,
             '"%d %d %d 1",' % (cv.size, cv.size, len(used))]
    for c in used:
        lines.append('"%s c %s",' % (c, PALETTE[c] or "None"))
    rows = ['"%s"' % "".join(row) for row in cv.px]
    lines.append(",\n".join(rows))
    lines.append("};")
    return "\n".join(lines) + "\n"


def png(cv, scale=8):
    def colour(c):
        value = PALETTE[c]
        if value is None:
            return (255, 0, 255)
        return tuple(int(value[i:i + 2], 16) for i in (1, 3, 5))
    raw = b""
    for row in cv.px:
        line = b"".join(bytes(colour(c)) * scale for c in row)
        raw += (b"\x00" + line) * scale
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    side = cv.size * scale
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def main():
    out = Path("windows/pictures")
    pictures = {"filing_cabinet": filing_cabinet(), "waste_bin": waste_bin()}
    for scale in (1.5, 2):
        suffix = "@%gx" % scale
        pictures["filing_cabinet" + suffix] = fine_filing_cabinet(scale)
        pictures["waste_bin" + suffix] = fine_waste_bin(scale)
    for name, cv in pictures.items():
        (out / (name + ".xpm")).write_text(xpm(name.replace("@", "_").replace(".", "_"), cv))
    if len(sys.argv) == 3 and sys.argv[1] == "--preview":
        for name, cv in pictures.items():
            (Path(sys.argv[2]) / (name + ".png")).write_bytes(png(cv, 256 // cv.size))


if __name__ == "__main__":
    main()
