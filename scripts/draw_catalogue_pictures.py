#!/usr/bin/env python3
"""Draws the two 32 x 32 pictures of the Current Database window as XPM files:
windows/pictures/filing_cabinet.xpm (a filing cabinet with an open drawer) and
windows/pictures/waste_bin.xpm (a waste bin).

Run it from the repository's top folder after changing a drawing; the XPM files
are committed, so building never needs Python. With --preview FOLDER it also
writes 8-times enlarged PNG previews there.
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
    def __init__(self):
        self.px = [["."] * SIZE for _ in range(SIZE)]

    def set(self, x, y, c):
        if 0 <= x < SIZE and 0 <= y < SIZE:
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


def xpm(name, cv):
    used = [c for c in PALETTE if any(c in row for row in cv.px)]
    lines = ["/* XPM */", "static const char *const %s[] = {" % name,
             '"%d %d %d 1",' % (SIZE, SIZE, len(used))]
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
    side = SIZE * scale
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def main():
    out = Path("windows/pictures")
    pictures = {"filing_cabinet": filing_cabinet(), "waste_bin": waste_bin()}
    for name, cv in pictures.items():
        (out / (name + ".xpm")).write_text(xpm(name, cv))
    if len(sys.argv) == 3 and sys.argv[1] == "--preview":
        for name, cv in pictures.items():
            (Path(sys.argv[2]) / (name + ".png")).write_bytes(png(cv))


if __name__ == "__main__":
    main()
