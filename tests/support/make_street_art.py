#!/usr/bin/env python3
"""Writes the pictures the street tests run on: probe sheets of the walkers,
in which every frame-table entry is a rectangle of its own colour, so that a
test tells from one pixel which entry a script drew; and bubble pictures with
a plain body, so that a test sees every pixel the text changed.

Entry k of figure i on the sheet of day phase t and slot s has the colour
(20 + 3k, 10i mod 256, 30t + 5s), for the vehicles' sheets (i from 50 on)
(20 + 2k, 10(i - 50), 30t + 5s), for the tram's (20 + k, 244, 30t + 5s), for
the passing vehicles (i from 73 on) (20 + 2k, 100 + 4(i - 73), 30t + 5s);
for figure 61 (its
sheet holds the van's parts and the group's frames, entries to 130)
(20 + k, 110, 30t + 5s + 2), for the residents (62 to 69, up to 120 entries)
(10 + 2k, 10(i - 50), 30t + 5s + 3), for the dog and the people of doors 1
and 2 (24 to 32, up to 118 entries) (20 + k, 10i mod 256, 30t + 5s + 4), for
the window scenes (60, slot 1, every variant's row of frames on its "FF"
sheet) (20 + 2k, 100, 30t + 5s + 4), for the couple at door 2 (33, 262
entries) (k mod 256, 74, 30t + 5s + 1), its second person's extra sheets in
the colours of slot 2; the people at the left house's door and figure 52 (20 + 2k, 10(i - 50) + 5,
30t + 5s + 1), green and blue that no other figure has;
everything else is the key colour. From figure 26 on the green wraps past a
byte and lands on values that end in 4, between those of the figures below
it. The pavement picture GEHWEG_01 tells its place in every pixel: (x mod 256,
100 + x div 256, 100 + y). The
bus's liveries have its windows cut out, so that the faces behind them show.

usage: make_street_art.py OUTDIR FRAMES_DIR [SCENE_RC]

SCENE_RC, the scene tests' own resource script, is copied into the top of
streetart.rc, less the names a probe sheet takes: the linker, merging the resources of two scripts, orders
names like "M_SCHEIN_WR" and "MSG_01_01" otherwise than the loader
searches them, and such a picture is then not found. With it, every figure
sheet of the program's resource list must be among the test pictures, so
that no figure fails to load for want of one at some season or time of day.
"""
import os
import re
import sys

# The scene tests' BMP writer serves here too.
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_test_art import bmp8 as write_bmp8, bmp24  # noqa: E402

MAGENTA = (255, 0, 255)
# The passing vehicles; 81 and 93 have another frame table after dark.
PASSING = tuple(range(73, 106))
DARK_TABLES = (81, 93)
# The dog and the people of doors 1 and 2 have more entries than steps of
# three leave room for, so their own blue tells them apart.
DOG_AND_DOORS = (24, 25, 26, 27, 28, 29, 31, 32)
WHITE = (255, 255, 255)
OUTLINE = (0, 0, 0)
BUTTONS = (160, 160, 160)


def bmp8(path, width, height, rows):
    """rows: list of height lists of (r, g, b), top row first."""
    write_bmp8(path, width, height, lambda x, y: rows[y][x])


# Objects with probe sheets: id -> number of sheets (summer and winter). The
# pavement renewer (22) draws from the scene tests' sheet.
SHEETS = {1: 2, 2: 1, 3: 1, 4: 1, 5: 1, 6: 1, 7: 1, 8: 2, 9: 1, 10: 1, 11: 1, 13: 1, 17: 2, 18: 1, 20: 1, 23: 1,
          24: 1, 25: 1, 26: 1, 27: 1, 28: 1, 29: 2, 30: 1, 31: 1, 32: 1, 33: 1,
          34: 1, 35: 1, 36: 1, 37: 2, 38: 1, 39: 1, 40: 1, 43: 1, 45: 1, 47: 1, 48: 2, 49: 1, 50: 2, 51: 1, 52: 1,
          54: 1, 55: 1, 58: 3,
          41: 1, 42: 1, 44: 1, 46: 2, 56: 1, 57: 1, 59: 1, 61: 1, 62: 1, 63: 2, 64: 2, 65: 1, 66: 2, 67: 1,
          68: 1, 69: 1, 70: 1, 72: 1, 110: 1}
# 64's second sheet is its second look, asked for as an extra sheet.
SHEETS.update({i: 1 for i in PASSING})
FIGURES = sorted(SHEETS)
# Figure 55's pictures of the shutters on its sheet: entries 58 and 59 of the
# probe.
SHUTTERS_CLOSED, SHUTTERS_OPEN = (0, 416, 120, 81), (798, 416, 120, 81)
# Objects whose layout differs by time of day or slot: (id, slot) -> table
# by time of day. Figure 46 runs by day, walks his dog by night and brings
# the mail from an extra sheet; at dusk his sheet 0 is never drawn.
TABLES = {(52, 0): {1: "kFig052DayFrames", 2: "kFig052DayFrames", 3: "kFig052NightFrames"},
          (46, 0): {1: "kFig046DayFrames", 2: "kFig046DayFrames", 3: "kFig046NightFrames"},
          (46, 1): {t: "kFig046MailFrames" for t in (1, 2, 3)}}


def read_tables(folder):
    """The walkers' generated frame tables: name -> list of (x, y, w, h)."""
    text = "".join(open(os.path.join(folder, "fig%03d_frames.h" % i)).read() for i in FIGURES)
    tables = {}
    for name, body in re.findall(r"(kFig\w+Frames)\[\d+\] = \{(.*?)\n\};", text, re.S):
        tables[name] = [tuple(int(v) for v in m) for m in re.findall(r"\{(-?\d+), (-?\d+), (-?\d+), (-?\d+)\}", body)]
    return tables


def window_scene_sheets(folder):
    """The window scenes' sheets as the program asks for them, each with its
    variant's row of frames: (name, time of day, rectangles)."""
    text = open(os.path.join(folder, "fig060_frames.h")).read()
    rows = re.findall(r"^    \{(.*)\},  // (\d+)$", text, re.M)
    tables = {int(v): [tuple(int(n) for n in m) for m in re.findall(r"\{(\d+), (\d+), (\d+), (\d+)\}", body)]
              for body, v in rows}
    # where each variant may play: variant -> (season, times of day)
    plays = {1: (1, (1, 2, 3)), 2: (1, (1, 2)), 3: (1, (1, 2, 3)), 4: (1, (1,)), 5: (1, (1, 2)), 6: (1, (1,)),
             7: (1, (1, 2)), 8: (1, (1, 2, 3)), 9: (1, (1, 2, 3)), 10: (1, (1, 2)), 11: (2, (1, 2, 3)),
             12: (1, (1, 2)), 13: (1, (3,))}
    return [("FF_%03d_%02d_%02d" % (v, t, season), t, tables[v]) for v, (season, ts) in sorted(plays.items())
            for t in ts]


# Figures whose colours stay clear of every other figure's.
OWN_COLOURS = (52, 55, 58)


def entry_colour(ident, t, slot, k):
    if ident == 33:
        return (k & 0xFF, 74, 30 * t + 5 * slot + 1)
    if ident == 60:
        return (20 + 2 * k, 100, 30 * t + 5 * slot + 4)
    if ident in OWN_COLOURS:
        return (20 + 2 * k, 10 * (ident - 50) + 5, 30 * t + 5 * slot + 1)
    if ident == 61:
        return (20 + k, 110, 30 * t + 5 * slot + 2)
    if 62 <= ident <= 69:
        return (10 + 2 * k, 10 * (ident - 50), 30 * t + 5 * slot + 3)
    if ident in PASSING:
        return (20 + 2 * k, 100 + 4 * (ident - 73), 30 * t + 5 * slot)
    if ident == 72:
        return (20 + k, 244, 30 * t + 5 * slot)
    if ident in DOG_AND_DOORS:
        return (20 + k, (10 * ident) % 256, 30 * t + 5 * slot + 4)
    if ident >= 50:
        return (20 + 2 * k, (10 * (ident - 50)) % 256, 30 * t + 5 * slot)
    # a byte, as the program's RGB() keeps it
    return (20 + 3 * k, (10 * ident) % 256, 30 * t + 5 * slot)


# The bus's window glass in its body: the driver's and six passengers'.
BUS_WINDOWS = [(17, 45)] + [(46 + 37 * k + 2, 46 + 37 * k + 35) for k in range(6)]
BUS_WINDOW_ROWS = (26, 60)
# The tram's: the driver's and ten passengers' glass, all in one band of rows.
TRAM_WINDOWS = [(852, 866)] + [(x + 3, x + 37) for x in (746, 700, 654, 548, 472, 366, 290, 184, 138, 92)]
TRAM_WINDOW_ROWS = (94, 126)
YELLOW = (255, 255, 0)


def probe_sheet(path, ident, t, slot, entries, holes=None, hole_rows=BUS_WINDOW_ROWS):
    width = max(x + w for (x, y, w, h) in entries) + 1
    height = max(y + h for (x, y, w, h) in entries) + 1
    rows = [[MAGENTA] * width for _ in range(height)]
    for k, (x, y, w, h) in enumerate(entries):
        colour = entry_colour(ident, t, slot, k)
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                rows[yy][xx] = colour
        for (x0, x1) in (holes or {}).get(k, ()):
            for yy in range(y + hole_rows[0], y + hole_rows[1]):
                for xx in range(x + x0, x + x1):
                    rows[yy][xx] = MAGENTA
    bmp8(path, width, height, rows)


def lights_and_flyers(out, add):
    """The headlights' lit streets, a colour pattern that tells a pixel's
    place; plain wedge cones; flyer sheets whose every frame is a block of its
    own colour inside its cell."""
    for season in (1, 2):
        for variant in (0, 1):
            name = "STR_00_%02d_%02d" % (season, variant)
            blue = 100 + 20 * season + 10 * variant
            write_bmp8(os.path.join(out, name + ".bmp"), 1280, 156,
                       lambda x, y, b=blue: (8 * (x % 32), 32 * (y % 8), b))
            add(name)

    # What the lettering would make for the tram: its picture is 888 x 187,
    # its last two rows key, coloured as sheet 1's first entry by day.
    write_bmp8(os.path.join(out, "FIG072_LT_00.bmp"), 888, 187,
               lambda x, y: entry_colour(72, 1, 1, 0) if y < 185 else MAGENTA)
    add("FIG072_LT_00")

    def wedge(x, y):
        return YELLOW if 20 - 18 * x / 127.0 <= y <= 24 + 19 * x / 127.0 else MAGENTA
    write_bmp8(os.path.join(out, "M_SCHEIN_WR.bmp"), 128, 44, wedge)
    write_bmp8(os.path.join(out, "M_SCHEIN_WL.bmp"), 128, 44, lambda x, y: wedge(127 - x, y))
    add("M_SCHEIN_WR")
    add("M_SCHEIN_WL")

    def plane(x, y):
        frame, yy = (0, y) if y < 86 else (1, y - 87)
        inside = 2 <= x < 398 and 2 <= yy < 84 and y != 86
        return (10, 200, 30 + 30 * frame) if inside else MAGENTA
    write_bmp8(os.path.join(out, "FLUG02.bmp"), 400, 173, plane)
    add("FLUG02")
    for kind in (4, 5, 6, 7):
        def bird(x, y, kind=kind):
            k, yy = y // 75, y % 75
            cell, xx = (0, x) if x < 120 else (1, x - 121)
            inside = k < 4 and 4 <= yy < 70 and 4 <= xx < 116 and x != 120
            return (20 * kind, 150 + 50 * cell, 40 * k) if inside else MAGENTA
        name = "FLUG%02d" % kind
        write_bmp8(os.path.join(out, name + ".bmp"), 248, 299, bird)
        add(name)


def sheets_lacking(frames, names):
    """The figures' sheets the program holds (its resource list, beside the
    frame tables) that are not among names: a figure that asks for one on the
    test pictures fails to load, and enough failures end the run."""
    with open(os.path.join(frames, os.pardir, "art_manifest.h")) as f:
        held = set(re.findall(r'\{"(FIG\w+)", "BITMAP"', f.read()))
    return sorted(held - names)


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
    tables = read_tables(frames)
    entries = []
    # Figure 37's two sheets each hold a part of its table (sheet 1 is its extra sheet).
    only = {(37, 0): range(12, 25), (37, 1): range(0, 12), (33, 0): range(136, 258)}
    for ident, count in SHEETS.items():
        holes = {k: BUS_WINDOWS for k in range(3)} if ident == 70 else None
        hole_rows = BUS_WINDOW_ROWS
        if ident == 72:
            holes, hole_rows = {0: TRAM_WINDOWS}, TRAM_WINDOW_ROWS
        for t in (1, 2, 3):
            dark = t > 1 and ident in DARK_TABLES
            table = tables.get("kFig%03d%sFrames" % (ident, "Dark" if dark else ""), [])
            used = [e if e[2] > 0 else (0, 0, 0, 0) for e in table]
            if ident == 55:
                # The closed and the open shutters follow the act's frames.
                used += [SHUTTERS_CLOSED, SHUTTERS_OPEN]
            for slot in range(count):
                own = TABLES.get((ident, slot), {}).get(t)
                slot_used = [e if e[2] > 0 else (0, 0, 0, 0) for e in tables[own]] if own else used
                name = "FIG%03d_%02d_%02d" % (ident, t, slot)
                part = only.get((ident, slot))
                mine = [e if part is None or k in part else (0, 0, 0, 0) for k, e in enumerate(slot_used)]
                probe_sheet(os.path.join(out, name + ".bmp"), ident, t, slot, mine, holes, hole_rows)
                entries.append('%s BITMAP "%s"' % (name, os.path.join(out, name + ".bmp")))
    for slot, table in ((1, "kFig061WayInFrames"), (2, "kFig061WayOutFrames")):
        name = "FIG061_01_%02d" % slot
        probe_sheet(os.path.join(out, name + ".bmp"), 61, 1, slot, tables[table])
        entries.append('%s BITMAP "%s"' % (name, os.path.join(out, name + ".bmp")))
    # The couple's door acts: to door 2 (K) and out of it (G), hers and his (A).
    for t in (1, 2, 3):
        for kind, part in (("K", range(60, 119)), ("G", range(0, 60))):
            for person, slot in (("", 1), ("A", 2)):
                name = "FIG033_%02d_02_%s%s" % (t, person, kind)
                rects = [e if k in part and e[2] > 0 else (0, 0, 0, 0) for k, e in enumerate(tables["kFig033Frames"])]
                probe_sheet(os.path.join(out, name + ".bmp"), 33, t, slot, rects)
                entries.append('%s BITMAP "%s"' % (name, os.path.join(out, name + ".bmp")))
    # The window scenes: a placeholder of their own and every variant's sheet.
    for t in (1, 2, 3):
        name = "FIG060_%02d_00" % t
        bmp8(os.path.join(out, name + ".bmp"), 8, 8, [[MAGENTA] * 8 for _ in range(8)])
        entries.append('%s BITMAP "%s"' % (name, os.path.join(out, name + ".bmp")))
    for name, t, rects in window_scene_sheets(frames):
        probe_sheet(os.path.join(out, name + ".bmp"), 60, t, 1, rects)
        entries.append('%s BITMAP "%s"' % (name, os.path.join(out, name + ".bmp")))
    # Figure 68's attic windows of the houses 1 to 3, in slot 1's colours.
    for door in (1, 2, 3):
        name = "FIG068_KA_%02d" % door
        # frame 0 is empty: the house as it is
        window = [(0, 0, 0, 0)] + tables["kFig068WindowFrames"][1:]
        probe_sheet(os.path.join(out, name + ".bmp"), 68, 1, 1, window)
        entries.append('%s BITMAP "%s"' % (name, os.path.join(out, name + ".bmp")))
    # Figure 52's two outfits for the walk home, at every time of day.
    for t in (1, 2, 3):
        for outfit in (1, 2):
            name = "FIG052_%02d_%02d" % (t, outfit)
            probe_sheet(os.path.join(out, name + ".bmp"), 52, t, 1, tables["kFig052HomeFrames"])
            entries.append('%s BITMAP "%s"' % (name, os.path.join(out, name + ".bmp")))
    # The weather presenter's five scenes, all in the colours of slot 1.
    for variant in range(1, 6):
        name = "FIG069_01_%02d" % variant
        probe_sheet(os.path.join(out, name + ".bmp"), 69, 1, 1, tables["kFig069Frames"])
        entries.append('%s BITMAP "%s"' % (name, os.path.join(out, name + ".bmp")))
    # The sheets the passing vehicles ask for by name, in their extra slot.
    extra = [("FIG077_01_01", 77, "Long1", 1), ("FIG077_01_02", 77, "Long2", 1), ("FIG078_01_01", 78, "", 1)]
    extra += [("FIG100_%02d_%02d" % (t, k), 100, "Long%d" % k, t) for t in (1, 2) for k in (1, 2)]
    for name, ident, tag, t in extra:
        table = tables["kFig%03d%sFrames" % (ident, tag)]
        used = [e if e[2] > 0 else (0, 0, 0, 0) for e in table]
        probe_sheet(os.path.join(out, name + ".bmp"), ident, t, 1, used)
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
    lights_and_flyers(out, lambda name: entries.append('%s BITMAP "%s"' % (name, os.path.join(out, name + ".bmp"))))
    if len(sys.argv) > 3:
        # The scene pictures go in too, less those a probe sheet replaces:
        # of two resources of one name it is not sure which the loader finds.
        ours = {e.split()[0] for e in entries}
        with open(sys.argv[3]) as f:
            scene = [line.rstrip("\n") for line in f if line.split() and line.split()[0] not in ours]
        entries = scene + entries
        lacking = sheets_lacking(frames, {e.split()[0] for e in entries})
        if lacking:
            sys.exit("make_street_art.py: no test sheet for " + " ".join(lacking))
    with open(os.path.join(out, "streetart.rc"), "w") as f:
        f.write("\n".join(entries) + "\n")


if __name__ == "__main__":
    main()
