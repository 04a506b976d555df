#!/usr/bin/env python3
"""Writes the fixture pictures the lettering tests run on, and the resource
script that binds them into the test program.

Templates and frames of the vehicles are flat colours at the real panel sizes,
so that a test can work the composed pixels out by hand:
  light template ("_HELL"): LIGHT over the left third, green elsewhere;
  dark template ("_DUNKEL"): DARK over the middle third, green elsewhere, and
    a small patch of NEAR_GREEN (squared distance 8 from green) at the right
    in rows 40 to 45;
  frames ("_01".."_03"): the body colour of the day phase over the top rows
    (the tram's frame: everywhere outside its picture band), magenta windows
    below them, green where the picture shows.
"PAL" holds few colours; "MASK_WRONG" has a size no panel has. The houses'
sign templates are flat colours telling house, phase and season. FIGnnn_01_00
are probe sheets for loading the vehicles.

usage: make_lettering_art.py OUTDIR
"""
import os
import struct
import sys

GREEN = (0, 255, 0)
MAGENTA = (255, 0, 255)
LIGHT = (250, 240, 230)
DARK = (10, 20, 40)
NEAR_GREEN = (2, 253, 0)

BUS = (312, 113)
TRAM = (888, 187)
TRAM_BAND = (11, 83, 857, 90)
TRUCK = (305, 80)
FRAME_ROWS = 10        # body at the top of the bus frame
WINDOW_ROWS = (10, 15)  # magenta below it
TRAM_WINDOW = (100, 10, 100, 20)  # x, y, w, h of a magenta window in the tram frame
HOUSES = {1: (112, 32), 2: (240, 27), 3: (88, 34), 4: (88, 33)}


def body(phase):
    return (30 * phase, 60, 90)


def write_bmp24(path, width, height, row):
    """row(y) gives a list of width (r, g, b) for top row y."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        data = bytearray()
        for (r, g, b) in row(y):
            data += bytes((b, g, r))
        data += bytes(stride - len(data))
        rows.append(bytes(data))
    bits = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(bits), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", 54 + len(bits), 0, 0, 54))
        f.write(header + bits)


def write_bmp8(path, width, height, palette, index):
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    table += bytes(4 * (256 - len(palette)))
    stride = (width + 3) & ~3
    rows = [bytes(index(x, y) for x in range(width)) + bytes(stride - width) for y in range(height - 1, -1, -1)]
    bits = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(bits), 2835, 2835, 256, 0)
    offset = 14 + 40 + len(table)
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset))
        f.write(header + table + bits)


def light_template(size):
    w, h = size
    line = [LIGHT if x < w // 3 else GREEN for x in range(w)]
    return lambda y: line


def dark_template(size):
    w, h = size
    line = [DARK if w // 3 <= x < 2 * w // 3 else GREEN for x in range(w)]
    near = list(line)
    for x in range(w - 12, w - 4):
        near[x] = NEAR_GREEN
    return lambda y: near if 40 <= y < 46 else line


def bus_frame(phase):
    w, h = BUS
    top = [body(phase)] * w
    window = [MAGENTA] * w
    rest = [GREEN] * w
    return lambda y: top if y < FRAME_ROWS else window if y < WINDOW_ROWS[1] else rest


def tram_frame(phase):
    w, h = TRAM
    bx, by, bw, bh = TRAM_BAND
    wx, wy, ww, wh = TRAM_WINDOW

    def row(y):
        line = [body(phase)] * w
        if wy <= y < wy + wh:
            line[wx:wx + ww] = [MAGENTA] * ww
        if by <= y < by + bh:
            line[bx:bx + bw] = [GREEN] * bw
        return line
    return row


def sign_colour(house, phase, season):
    return (40 * house, 60 * phase, 100 * season)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    rc = []

    def add(name, kind="MASKE"):
        rc.append('%s %s "%s"' % (name, kind, os.path.join(out, name + ".bmp")))

    for prefix, size in (("BUS", BUS), ("SBAHN", TRAM), ("LKW", TRUCK)):
        write_bmp24(os.path.join(out, prefix + "_HELL.bmp"), size[0], size[1], light_template(size))
        add(prefix + "_HELL")
        write_bmp24(os.path.join(out, prefix + "_DUNKEL.bmp"), size[0], size[1], dark_template(size))
        add(prefix + "_DUNKEL")
    for phase in (1, 2, 3):
        name = "BUS_%02d" % phase
        write_bmp24(os.path.join(out, name + ".bmp"), BUS[0], BUS[1], bus_frame(phase))
        add(name)
        name = "SBAHN_%02d" % phase
        write_bmp24(os.path.join(out, name + ".bmp"), TRAM[0], TRAM[1], tram_frame(phase))
        add(name)
    write_bmp24(os.path.join(out, "MASK_WRONG.bmp"), 100, 50, lambda y: [GREEN] * 100)
    add("MASK_WRONG")
    # Eight greys and the eight corners of the colour cube.
    pal = [(36 * i, 36 * i, 36 * i) for i in range(8)] + \
          [(r, g, b) for r in (0, 255) for g in (0, 255) for b in (0, 255)]
    write_bmp8(os.path.join(out, "PAL.bmp"), 16, 1, pal, lambda x, y: x)
    add("PAL")
    for house, (w, h) in HOUSES.items():
        for phase in (1, 2, 3):
            for season in (1, 2):
                name = "B%02d_%02d_%02d" % (house, phase, season)
                line = [sign_colour(house, phase, season)] * w
                write_bmp24(os.path.join(out, name + ".bmp"), w, h, lambda y: line)
                add(name)
    for ident in (70, 71, 72, 81, 94):
        name = "FIG%03d_01_00" % ident
        write_bmp8(os.path.join(out, name + ".bmp"), 16, 8, [MAGENTA, (ident, 10, 60)],
                   lambda x, y: 1 if 2 <= x < 14 and 2 <= y < 6 else 0)
        add(name, "BITMAP")
    with open(os.path.join(out, "lettering_art.rc"), "w") as f:
        f.write("\n".join(rc) + "\n")


if __name__ == "__main__":
    main()
