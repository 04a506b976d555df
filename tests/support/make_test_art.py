#!/usr/bin/env python3
"""Writes the small pictures the scene tests run on, and the resource scripts
that bind them into a test program.

Every colour encodes what a test needs to find out from a pixel:
backgrounds HG_tt_ss carry the day phase t in red (40 * t + band), the season
s in green (100 * s) and a band number for their rows (0: rows 0-255,
1: 256-511, 2: 512-675, 3: 676-1023), so a test can tell which picture is
shown and which rows of it. The key colour is exact magenta.

usage: make_test_art.py OUTDIR
writes OUTDIR/testart.rc (shared scene pictures), OUTDIR/testart_unit.rc
(fixtures only the unit tests load) and OUTDIR/testart_residents.rc (the
houses' people, where no probe sheets stand in for them).
"""
import os
import struct
import subprocess
import sys

# The light rectangles come from the scene's one geometry table.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "art"))
from wynart import geometry  # noqa: E402

MAGENTA = (255, 0, 255)


def write_bmp8_file(path, width, height, palette, rows):
    """Writes padded bottom-up rows with the palette filled out to 256 entries."""
    palette = list(palette) + [(0, 0, 0)] * (256 - len(palette))
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    bits = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(bits), 2835, 2835, 256, 0)
    offset = 14 + 40 + len(table)
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset))
        f.write(header + table + bits)


def bmp8(path, width, height, pixel):
    """8-bit bottom-up BMP; pixel(x, y) gives an (r, g, b) per pixel, top row y 0."""
    palette = []
    index = {}
    rows = []
    stride = (width + 3) & ~3
    for y in range(height - 1, -1, -1):
        row = bytearray(stride)
        for x in range(width):
            c = pixel(x, y)
            if c not in index:
                index[c] = len(palette)
                palette.append(c)
                if len(palette) > 256:
                    raise ValueError(path + ": more than 256 colours")
            row[x] = index[c]
        rows.append(bytes(row))
    write_bmp8_file(path, width, height, palette, rows)


RLE_W, RLE_H = 600, 400


def rle_fixture_pixel(x, y):
    """Runs of six to eight pixels in 100 colours, the key between them;
    gdiutil_test.cpp computes the same."""
    if (x // 7 + y // 5) % 3 == 0:
        return MAGENTA
    return (10 * (x // 60), 20 * (y // 40), 40)


def bmp8_rows(path, width, height, row_colour):
    """Fast path for pictures whose rows are one colour each."""
    colours = []
    for y in range(height):
        colours.append(row_colour(y))
    palette = sorted(set(colours))
    index = {c: i for i, c in enumerate(palette)}
    stride = (width + 3) & ~3
    rows = [bytes([index[colours[y]]]) * width + bytes(stride - width) for y in range(height - 1, -1, -1)]
    write_bmp8_file(path, width, height, palette, rows)


def bmp1(path, width, height, dark):
    """1-bit picture: magenta where dark(x, y) is false, black where true."""
    stride = ((width + 31) // 32) * 4
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray(stride)
        for x in range(width):
            if dark(x, y):
                row[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(row))
    table = struct.pack("<BBBB", 255, 0, 255, 0) + struct.pack("<BBBB", 0, 0, 0, 0)
    bits = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 1, 0, len(bits), 2835, 2835, 2, 0)
    offset = 14 + 40 + len(table)
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset))
        f.write(header + table + bits)


def bmp24(path, width, height, pixel):
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        rows.append(bytes(row))
    bits = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(bits), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", 54 + len(bits), 0, 0, 54))
        f.write(header + bits)


def bmp8_short_table(path, width, height, colours):
    """8-bit picture with a colour table of only len(colours) entries (biClrUsed);
    pixel x of every row uses entry x % len(colours)."""
    n = len(colours)
    stride = (width + 3) & ~3
    rows = [bytes([x % n for x in range(width)]) + bytes(stride - width) for _ in range(height)]
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in colours)
    bits = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(bits), 2835, 2835, n, 0)
    offset = 14 + 40 + len(table)
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset))
        f.write(header + table + bits)


def cursor(path):
    """A 32 x 32 monochrome cursor: an arrow-ish triangle, hot spot at 0, 0."""
    w = h = 32
    xor = bytearray(128)
    andm = bytearray(b"\xff" * 128)
    for y in range(h):
        for x in range(w):
            if x <= y // 2:
                row = h - 1 - y
                andm[row * 4 + x // 8] &= ~(0x80 >> (x % 8)) & 0xFF
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 1, 0, 256, 0, 0, 2, 0)
    table = struct.pack("<BBBB", 0, 0, 0, 0) + struct.pack("<BBBB", 255, 255, 255, 0)
    image = header + table + bytes(xor) + bytes(andm)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 2, 1))
        f.write(struct.pack("<BBBBHHII", w, h, 0, 0, 0, 0, len(image), 6 + 16))
        f.write(image)


def background_colour(t, s, y):
    band = 0 if y < 256 else (1 if y < 512 else (2 if y < 676 else 3))
    return (40 * t + band, 100 * s, 200)


def figure_sheet(path, ident, t, sheet, w=24, h=32):
    # A rectangle of the object's own colour on the key colour.
    colour = (ident, 10 * t + sheet, 60)

    def px(x, y):
        return colour if 4 <= x < w - 4 and 4 <= y < h - 4 else MAGENTA

    bmp8(path, w, h, px)


def post_sheet(path, t):
    # The stop post's three variants side by side, 32 x 115 each, variant v
    # in the colour (111, 10t, 60 + 40v).
    def px(x, y):
        v = x // 33
        return (111, 10 * t, 60 + 40 * v) if x % 33 < 32 and v < 3 else MAGENTA

    bmp8(path, 112, 115, px)


def pillar_sheet(path, t):
    # Five frames side by side, 271 high: the display areas are opaque grey.
    def px(x, y):
        if x < 24:
            return (90, 90, 10 * t)
        return (120, 120, 120) if 40 <= y <= 140 else (70, 70, 10 * t)

    bmp8(path, 312, 271, px)


SCENE_FIGURES = {8: 2, 20: 1, 22: 1, 35: 1, 39: 1, 55: 1, 71: 1,
                 110: 1, 111: 1, 112: 1, 113: 1, 114: 1, 118: 1, 131: 1}
# The people of the houses: plain sheets for the scene tests and the test
# saver; the street tests have probe sheets of their own under these names.
RESIDENT_FIGURES = {52: 1, 62: 1, 63: 2, 64: 1, 65: 1, 66: 2, 67: 1, 68: 1, 69: 1}


# Light sheets: light n's rectangle in red 200 (off) or 250 (on), green n,
# blue 10 * phase + season; the rest of the sheet grey.
def light_colour(n, on, t, s):
    return (250 if on else 200, n, 10 * t + s)


def light_sheet(path, t, s, on):
    owner = [[0] * geometry.LIGHTS_SHEET_W for _ in range(geometry.LIGHTS_SHEET_H)]
    for light in geometry.LIGHTS:
        r = light.src
        for y in range(r.y, r.y + r.h):
            owner[y][r.x:r.x + r.w] = [light.n] * r.w
    bmp8(path, geometry.LIGHTS_SHEET_W, geometry.LIGHTS_SHEET_H,
         lambda x, y: light_colour(owner[y][x], on, t, s) if owner[y][x] else (90, 90, 90))


def main():
    out = os.path.abspath(sys.argv[1])
    os.makedirs(out, exist_ok=True)
    entries = []

    def add(name, kind="BITMAP"):
        entries.append('%s %s "%s"' % (name, kind, os.path.join(out, name + ".bmp")))

    for t in (1, 2, 3):
        for s in (1, 2):
            name = "HG_%02d_%02d" % (t, s)
            bmp8_rows(os.path.join(out, name + ".bmp"), 1280, 1024, lambda y, t=t, s=s: background_colour(t, s, y))
            add(name)
            name = "STR_%02d_%02d_01" % (t, s)
            bmp8_rows(os.path.join(out, name + ".bmp"), 1280, 128,
                      lambda y, t=t, s=s: MAGENTA if y < 64 else (0, 250, 10 * t + s))
            add(name)
            name = "UHR_%02d_%02d_0" % (t, s)
            bmp8(os.path.join(out, name + ".bmp"), 40, 30,
                 lambda x, y: (200, 200, 0) if x < 3 or y < 3 or x > 36 or y > 26 else MAGENTA)
            add(name)
            name = "UHR_%02d_%02d_1" % (t, s)
            bmp8(os.path.join(out, name + ".bmp"), 33, 33, lambda x, y: (255, 255, 255))
            add(name)
        name = "UHR_%02d_01_2" % t
        bmp8(os.path.join(out, name + ".bmp"), 33, 33, lambda x, y: (255, 255, 255))
        add(name)
        name = "FIG115_%02d_00" % t
        pillar_sheet(os.path.join(out, name + ".bmp"), t)
        add(name)
        for ident, count in SCENE_FIGURES.items():
            for k in range(count):
                name = "FIG%03d_%02d_%02d" % (ident, t, k)
                if ident == 111:
                    post_sheet(os.path.join(out, name + ".bmp"), t)
                else:
                    figure_sheet(os.path.join(out, name + ".bmp"), ident, t, k)
                add(name)
    # English sign lettering: sign k (lights 3, 10, 19) in red 120 + k, the
    # variant v in green 10 + v.
    bmp8(os.path.join(out, "LICHTERE_02.bmp"), 444, 339,
         lambda x, y: (120 + (0 if x < 114 else (1 if x < 356 else 2)), 10 + min(y // 34, 9), 77))
    add("LICHTERE_02")
    for t in (1, 2, 3):
        # Bollards: design k in green 10 * t + k, the single post's columns
        # 0..6 in blue 200, the rest of a group in blue 100.
        for k in range(3):
            name = "FIG116_%02d_%02d" % (t, k)
            bmp8(os.path.join(out, name + ".bmp"), 120, 40,
                 lambda x, y, t=t, k=k: (116, 10 * t + k, 200 if x < 7 else 100))
            add(name)
        # Message signs: frame f (no note, new note) in blue 5 + f, the
        # language (1, 2; 3 the neutral sign) in green 10 * t + language. The
        # neutral sign has no night picture.
        for lang, suffix in ((1, "01"), (2, "02"), (3, "X")):
            if lang == 3 and t == 3:
                continue
            name = "MSG_%02d_%s" % (t, suffix)
            bmp8(os.path.join(out, name + ".bmp"), 160, 115,
                 lambda x, y, t=t, lang=lang: (70, 10 * t + lang, 5 + x // 80))
            add(name)
    for t in (1, 2, 3):
        # The thermometer's glyphs: column x in green x; the tube and
        # mercury columns 60..63 in red 180 with the row in blue.
        name = "FIG119_%02d_00" % t
        bmp8(os.path.join(out, name + ".bmp"), 84, 9,
             lambda x, y: (180, x, y) if 60 <= x < 64 else (190, x, 0))
        add(name)
        name = "FIG119_%02d_01" % t
        bmp8(os.path.join(out, name + ".bmp"), 16, 64, lambda x, y: (30, 30, 30))
        add(name)
    # Weather pictures: day or night and cover in green, the kind in blue.
    for name, colour in (("WET_1_02_00", (33, 12, 0)), ("WET_2_02_00", (33, 22, 0)), ("WET_1_--_--", (33, 99, 99)),
                         ("WET_0_00_00", (33, 0, 0))):
        bmp8(os.path.join(out, name + ".bmp"), 88, 60, lambda x, y, c=colour: c)
        # The statement keeps the compiler from joining the quoted name to the
        # file name before it.
        entries.append('LANGUAGE 0, 0\n"%s" BITMAP "%s"' % (name, os.path.join(out, name + ".bmp")))
    for t in (2, 3):
        for s in (1, 2):
            for on in (0, 1):
                name = "LICHTER_%02d_%02d_%d" % (s, t, on)
                light_sheet(os.path.join(out, name + ".bmp"), t, s, on)
                add(name)
    # The roller shutter: frame k in its own green, the season in blue.
    for s in (1, 2):
        name = "ROLL2_%02d" % s
        bmp8(os.path.join(out, name + ".bmp"), 604, 389,
             lambda x, y, s=s: (30, 30 + 10 * (x // 121 + 5 * (y // 130)), 150 + s))
        add(name)
    for t in (2, 3):
        name = "FENSTERLADEN_%02d" % t
        bmp8(os.path.join(out, name + ".bmp"), 104, 140, lambda x, y: (139, 69, 19))
        add(name)
    bmp8(os.path.join(out, "FIG024_01_01.bmp"), 16, 8, lambda x, y: (90, 60, 30) if y > 3 else MAGENTA)
    add("FIG024_01_01")
    # Digit strips: digit d in its own colour, one colour channel per strip.
    bmp8(os.path.join(out, "UHR_00.bmp"), 50, 11, lambda x, y: (10 + 20 * (x // 5), 1, 1))
    add("UHR_00")
    bmp8(os.path.join(out, "UHR_01.bmp"), 50, 11, lambda x, y: (1, 10 + 20 * (x // 5), 1))
    add("UHR_01")
    bmp8(os.path.join(out, "UHR_02.bmp"), 140, 26, lambda x, y: (1, 1, 10 + 20 * (x // 14)))
    add("UHR_02")
    bmp8(os.path.join(out, "HG_CONFIG.bmp"), 120, 90, lambda x, y: (30, 140, 230))
    add("HG_CONFIG")
    for lang in (1, 2):
        bmp8(os.path.join(out, "FARBEN_%02d.bmp" % lang), 64, 48, lambda x, y, l=lang: (250, 20 * l, 0))
        add("FARBEN_%02d" % lang)
        bmp8(os.path.join(out, "SPEICHER_%02d.bmp" % lang), 64, 48, lambda x, y, l=lang: (20 * l, 250, 0))
        add("SPEICHER_%02d" % lang)
    cursor(os.path.join(out, "1000.cur"))
    entries.append('1000 CURSOR "%s"' % os.path.join(out, "1000.cur"))
    with open(os.path.join(out, "testart.rc"), "w") as f:
        f.write("\n".join(entries) + "\n")
    # A program without the large digit strip: its start ends on the memory
    # error screen.
    error = [e for e in entries if e.split()[0] in
             ("UHR_00", "UHR_01", "FARBEN_01", "FARBEN_02", "SPEICHER_01", "SPEICHER_02", "1000")]
    residents = []
    for t in (1, 2, 3):
        for ident, count in RESIDENT_FIGURES.items():
            for k in range(count):
                name = "FIG%03d_%02d_%02d" % (ident, t, k)
                figure_sheet(os.path.join(out, name + ".bmp"), ident, t, k)
                residents.append('%s BITMAP "%s"' % (name, os.path.join(out, name + ".bmp")))
    with open(os.path.join(out, "testart_residents.rc"), "w") as f:
        f.write("\n".join(residents) + "\n")
    with open(os.path.join(out, "testart_error.rc"), "w") as f:
        f.write("\n".join(error) + "\n")

    # Fixtures of the loader and helper tests only.
    unit = []

    def add_unit(name):
        unit.append('%s BITMAP "%s"' % (name, os.path.join(out, name + ".bmp")))

    for t in (1, 2, 3):
        # Figure 1 has two sheets but only its first picture exists.
        figure_sheet(os.path.join(out, "FIG001_%02d_00.bmp" % t), 1, t, 0)
        add_unit("FIG001_%02d_00" % t)
        figure_sheet(os.path.join(out, "FIG002_%02d_00.bmp" % t), 2, t, 0)
        add_unit("FIG002_%02d_00" % t)
        for ident in (4, 6):
            figure_sheet(os.path.join(out, "FIG%03d_%02d_00.bmp" % (ident, t)), ident, t, 0)
            add_unit("FIG%03d_%02d_00" % (ident, t))
    # Figure 58's three day sheets are large, so that its load takes a while.
    for k in range(3):
        name = "FIG058_01_%02d" % k
        bmp1(os.path.join(out, name + ".bmp"), 3000, 3000, lambda x, y: (x // 64 + y // 64) % 2 == 0)
        add_unit(name)
    bmp8(os.path.join(out, "FIX_NOKEY.bmp"), 16, 8, lambda x, y: (10 + x, 20 + y, 30))
    add_unit("FIX_NOKEY")
    bmp8(os.path.join(out, "FIX_ALLKEY.bmp"), 16, 8, lambda x, y: MAGENTA)
    add_unit("FIX_ALLKEY")
    bmp8(os.path.join(out, "FIX_MIXED.bmp"), 16, 8, lambda x, y: MAGENTA if x < 8 else (0, 0, 200))
    add_unit("FIX_MIXED")
    bmp24(os.path.join(out, "FIX_24BIT.bmp"), 8, 4, lambda x, y: (x * 30, y * 60, 7))
    add_unit("FIX_24BIT")
    bmp8_short_table(os.path.join(out, "FIX_SHORT.bmp"), 16, 2, [(16 * i, 255 - 16 * i, 100) for i in range(16)])
    add_unit("FIX_SHORT")
    # A run-length encoded sheet as another program writes one: ImageMagick
    # encodes the plain picture (BI_RLE8). Large enough to span many pages.
    bmp8(os.path.join(out, "FIX_RLE8_PLAIN.bmp"), RLE_W, RLE_H, rle_fixture_pixel)
    subprocess.run(["convert", os.path.join(out, "FIX_RLE8_PLAIN.bmp"), "-compress", "RLE",
                    "BMP3:" + os.path.join(out, "FIX_RLE8.bmp")], check=True)
    add_unit("FIX_RLE8")
    with open(os.path.join(out, "testart_unit.rc"), "w") as f:
        f.write("\n".join(unit) + "\n")
    # Both in one script: the linker sorts the names of several resource
    # objects with '_' before the letters, which the loader's lookup does not
    # expect, so "LICHTERE_02" beside "LICHTER_..." is found only in a program
    # whose pictures come from one script.
    with open(os.path.join(out, "testart_one.rc"), "w") as f:
        f.write("\n".join(entries + unit) + "\n")
    with open(os.path.join(out, "testart.stamp"), "w") as f:
        f.write("ok\n")


if __name__ == "__main__":
    main()
