#!/usr/bin/env python3
"""Writes the pictures the street tests run on: probe sheets of the walkers,
in which every frame-table entry is a rectangle of its own colour, so that a
test tells from one pixel which entry a script drew; and bubble pictures with
a plain body, so that a test sees every pixel the text changed.

Entry k of figure i on the sheet of day phase t and slot s has the colour
(20 + 2k, 5i, 30t + 5s), for the vehicles' sheets (i from 50 on)
(20 + 2k, 10(i - 50), 30t + 5s); everything else is the key colour. The
pavement picture GEHWEG_01 tells its place in every pixel: (x mod 256,
100 + x div 256, 100 + y). The
bus's liveries have its windows cut out, so that the faces behind them show.

usage: make_street_art.py OUTDIR FRAMES_DIR
"""
import os
import re
import sys

# The scene tests' BMP writer serves here too.
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_test_art import bmp8 as write_bmp8, bmp24  # noqa: E402

MAGENTA = (255, 0, 255)
WHITE = (255, 255, 255)
OUTLINE = (0, 0, 0)
BUTTONS = (160, 160, 160)


def bmp8(path, width, height, rows):
    """rows: list of height lists of (r, g, b), top row first."""
    write_bmp8(path, width, height, lambda x, y: rows[y][x])


def read_tables(folder, ids):
    """The figures' generated frame tables: name -> list of (x, y, w, h)."""
    text = "".join(open(os.path.join(folder, "fig%03d_frames.h" % i)).read() for i in ids)
    tables = {}
    for name, body in re.findall(r"(kFig\d+Frames)\[\d+\] = \{(.*?)\n\};", text, re.S):
        tables[name] = [tuple(int(v) for v in m) for m in re.findall(r"\{(-?\d+), (-?\d+), (-?\d+), (-?\d+)\}", body)]
    return tables


def entry_colour(ident, t, slot, k):
    if ident >= 50:
        return (20 + 2 * k, 10 * (ident - 50), 30 * t + 5 * slot)
    return (20 + 2 * k, 5 * ident, 30 * t + 5 * slot)


# The bus's window glass in its body: the driver's and six passengers'.
BUS_WINDOWS = [(17, 45)] + [(46 + 37 * k + 2, 46 + 37 * k + 35) for k in range(6)]
BUS_WINDOW_ROWS = (26, 60)


def probe_sheet(path, ident, t, slot, entries, holes=None):
    width = max(x + w for (x, y, w, h) in entries) + 1
    height = max(y + h for (x, y, w, h) in entries) + 1
    rows = [[MAGENTA] * width for _ in range(height)]
    for k, (x, y, w, h) in enumerate(entries):
        colour = entry_colour(ident, t, slot, k)
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                rows[yy][xx] = colour
        for (x0, x1) in (holes or {}).get(k, ()):
            for yy in range(y + BUS_WINDOW_ROWS[0], y + BUS_WINDOW_ROWS[1]):
                for xx in range(x + x0, x + x1):
                    rows[yy][xx] = MAGENTA
    bmp8(path, width, height, rows)


def bubble(path, kind):
    width, height, body = 184, 88, 58
    rows = [[MAGENTA] * width for _ in range(height)]
    for y in range(body):
        for x in range(2, width - 2):
            edge = y == 0 or y == body - 1 or x == 2 or x == width - 3
            rows[y][x] = OUTLINE if edge else WHITE
    if kind in (3, 4):
        for y in range(41, 56):
            for x in list(range(7, 24)) + list(range(29, 54)) + list(range(61, 75)) + list(range(81, 92)):
                rows[y][x] = BUTTONS
    # The tail points down to the figure: right of the bubble for kinds 1
    # and 3 (the bubble stands left of its figure), left for 2 and 4.
    for y in range(body, height):
        depth = y - body
        lo, hi = (150 + depth, 170) if kind in (1, 3) else (14, 34 - depth)
        for x in range(lo, max(lo + 1, hi)):
            rows[y][x] = OUTLINE
    bmp8(path, width, height, rows)


def main():
    out, frames = os.path.abspath(sys.argv[1]), sys.argv[2]
    os.makedirs(out, exist_ok=True)
    entries = []
    # The pavement renewer draws from the scene tests' sheet of figure 22.
    sheets = {2: 1, 4: 1, 6: 1, 11: 1, 17: 2, 24: 1, 25: 1, 26: 1, 27: 1, 28: 1, 29: 2, 31: 1, 32: 1, 61: 1,
              70: 1}
    tables = read_tables(frames, sheets)
    for ident, count in sheets.items():
        table = [e for e in tables["kFig%03dFrames" % ident]]
        used = [e if e[2] > 0 else (0, 0, 0, 0) for e in table]
        holes = {k: BUS_WINDOWS for k in range(3)} if ident == 70 else None
        for t in (1, 2, 3):
            for slot in range(count):
                name = "FIG%03d_%02d_%02d" % (ident, t, slot)
                probe_sheet(os.path.join(out, name + ".bmp"), ident, t, slot, used, holes)
                entries.append('%s BITMAP "%s"' % (name, os.path.join(out, name + ".bmp")))
    # Figure 25's extra sheets: every one holds the whole table, in slot 1's
    # colours.
    table = [e if e[2] > 0 else (0, 0, 0, 0) for e in tables["kFig025Frames"]]
    for t in (1, 2, 3):
        for suffix in ("01_K", "02_K", "01_G1", "01_G2", "02_G"):
            name = "FIG025_%02d_%s" % (t, suffix)
            probe_sheet(os.path.join(out, name + ".bmp"), 25, t, 1, table)
            entries.append('%s BITMAP "%s"' % (name, os.path.join(out, name + ".bmp")))
    name = "GEHWEG_01"
    bmp24(os.path.join(out, name + ".bmp"), 1280, 74, lambda x, y: (x % 256, 100 + x // 256, 100 + y))
    entries.append('%s BITMAP "%s"' % (name, os.path.join(out, name + ".bmp")))
    for kind in (1, 2, 3, 4):
        name = "SPRECHBLASE_%02d" % kind
        bubble(os.path.join(out, name + ".bmp"), kind)
        entries.append('%s BITMAP "%s"' % (name, os.path.join(out, name + ".bmp")))
    with open(os.path.join(out, "streetart.rc"), "w") as f:
        f.write("\n".join(entries) + "\n")


if __name__ == "__main__":
    main()
